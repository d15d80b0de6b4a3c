// ZRMProblemGenerator.h: least-squares test problems for the solver benchmark and its peers.
//
// Every problem is a plain list of constraint rows over integer variable ids, built only with the
// standard library, so that ZRMLSQSolver and the Eigen peer are fed exactly the same numbers.
// Every row is named (it carries a distinct id), so the solver orders its constraints by id and
// every right-hand side can be changed later with SetRhs. The generators are deterministic: the
// same arguments give the same rows, bit for bit, on every platform (own integer random source).
#ifndef ZRMProblemGenerator_h
#define ZRMProblemGenerator_h

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zrmgen {

// One constraint row: sum of coefficient * variable = rhs; hard rows are met exactly, soft rows
// are least-squares rows of weight 1. Coefficients are in ascending variable id, ids distinct.
struct Row {
  bool hard = false;
  int id = 0;
  double rhs = 0.0;
  std::vector<std::pair<int, double>> coefficients;
};

// A generated problem: its rows in creation order and the number of variable ids used
// (ids are 0 .. variableCount - 1).
struct Problem {
  std::string family;
  int size = 0;
  int variableCount = 0;
  std::vector<Row> rows;
  int cursorRowX = -1;  // ids of the "follow the cursor" rows, when the family has them
  int cursorRowY = -1;
  std::vector<double> solution;  // by variable id: values that meet every row up to rounding,
                                 // when the family is built around them (else empty)
};

// SplitMix64: small portable random source, so every platform generates the same problems.
class Random {
public:
  explicit Random(std::uint64_t seed) : mState(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (mState += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }  // [0, 1)
  int Below(int bound) { return static_cast<int>(Next() % static_cast<std::uint64_t>(bound)); }

private:
  std::uint64_t mState;
};

// Appends a row with the given terms (any order, distinct variables); its id is its creation index.
inline void AddRow(Problem& problem, bool hard, double rhs, std::vector<std::pair<int, double>> terms) {
  std::sort(terms.begin(), terms.end());
  Row row;
  row.hard = hard;
  row.id = static_cast<int>(problem.rows.size());
  row.rhs = rhs;
  row.coefficients = std::move(terms);
  problem.rows.push_back(std::move(row));
}

// Renames variables and row ids by random permutations (the same system, another numbering).
inline void Shuffle(Problem& problem, std::uint64_t seed) {
  Random random(seed);
  auto permutation = [&random](int n) {
    std::vector<int> p(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) p[static_cast<std::size_t>(i)] = i;
    for (int i = n - 1; i > 0; --i)
      std::swap(p[static_cast<std::size_t>(i)], p[static_cast<std::size_t>(random.Below(i + 1))]);
    return p;
  };
  const std::vector<int> variables = permutation(problem.variableCount);
  const std::vector<int> ids = permutation(static_cast<int>(problem.rows.size()));
  for (Row& row : problem.rows) {
    for (auto& term : row.coefficients) term.first = variables[static_cast<std::size_t>(term.first)];
    std::sort(row.coefficients.begin(), row.coefficients.end());
    row.id = ids[static_cast<std::size_t>(row.id)];
  }
  if (!problem.solution.empty()) {
    std::vector<double> renamed(problem.solution.size());
    for (std::size_t v = 0; v < renamed.size(); ++v)
      renamed[static_cast<std::size_t>(variables[v])] = problem.solution[v];
    problem.solution = std::move(renamed);
  }
  if (problem.cursorRowX >= 0) problem.cursorRowX = ids[static_cast<std::size_t>(problem.cursorRowX)];
  if (problem.cursorRowY >= 0) problem.cursorRowY = ids[static_cast<std::size_t>(problem.cursorRowY)];
}

// (a) Soft-only banded fairing chain of n values: a data row on every fourth value, first- and
// second-difference rows everywhere. The normal matrix is pentadiagonal.
inline Problem FairingChain(int n) {
  Problem problem;
  problem.family = "chain";
  problem.size = n;
  problem.variableCount = n;
  Random random(1);
  for (int i = 0; i < n; ++i) {
    if (i % 4 == 0) AddRow(problem, false, std::sin(0.01 * i) + 0.1 * random.Uniform(), {{i, 1.0}});
    if (i >= 1) AddRow(problem, false, 0.0, {{i - 1, -1.0}, {i, 1.0}});
    if (i >= 2) AddRow(problem, false, 0.0, {{i - 2, 1.0}, {i - 1, -2.0}, {i, 1.0}});
  }
  return problem;
}

// (b) Fairing of a k x k grid of heights (variable i * k + j): boundary heights as hard rows
// (simple fixed values), sparse data rows inside, second-difference rows in both directions.
inline Problem GridFairing(int k) {
  Problem problem;
  problem.family = "grid";
  problem.size = k;
  problem.variableCount = k * k;
  Random random(2);
  auto node = [k](int i, int j) { return i * k + j; };
  for (int i = 0; i < k; ++i) {
    for (int j = 0; j < k; ++j) {
      const double u = static_cast<double>(i) / (k - 1), v = static_cast<double>(j) / (k - 1);
      const bool boundary = i == 0 || j == 0 || i == k - 1 || j == k - 1;
      if (boundary)
        AddRow(problem, true, std::sin(3.0 * u) * std::cos(2.0 * v), {{node(i, j), 1.0}});
      else if ((7 * i + 3 * j) % 11 == 0)
        AddRow(problem, false, u * v + 0.05 * random.Uniform(), {{node(i, j), 1.0}});
      if (j > 0 && j < k - 1)
        AddRow(problem, false, 0.0, {{node(i, j - 1), 1.0}, {node(i, j), -2.0}, {node(i, j + 1), 1.0}});
      if (i > 0 && i < k - 1)
        AddRow(problem, false, 0.0, {{node(i - 1, j), 1.0}, {node(i, j), -2.0}, {node(i + 1, j), 1.0}});
    }
  }
  return problem;
}

// (c) Sketch-like system of P planar points (x = 2p, y = 2p + 1). Each point p > 0 is tied to an
// earlier nearby point, by a hard horizontal, vertical or coincident relation or by soft relative
// rows, and half of the points get a second soft tie; every point has soft "stay" rows and the last
// point has "follow the cursor" rows of gain 10 (coefficients 10, rhs 10 * cursor). Hard rows tie each
// point to one earlier point only, so they never form a loop and are independent. About 30 % of the
// two-point rows are hard.
inline Problem Sketch(int points, bool shuffled) {
  Problem problem;
  problem.family = shuffled ? "sketch-shuffled" : "sketch";
  problem.size = points;
  problem.variableCount = 2 * points;
  Random random(3);
  std::vector<double> px(static_cast<std::size_t>(points)), py(static_cast<std::size_t>(points));
  auto X = [](int p) { return 2 * p; };
  auto Y = [](int p) { return 2 * p + 1; };
  for (int p = 0; p < points; ++p) {
    const std::size_t sp = static_cast<std::size_t>(p);
    px[sp] = p == 0 ? 0.0 : px[sp - 1] + random.Uniform() * 2.0 - 0.5;
    py[sp] = p == 0 ? 0.0 : py[sp - 1] + random.Uniform() * 2.0 - 1.0;
    AddRow(problem, false, px[sp], {{X(p), 1.0}});
    AddRow(problem, false, py[sp], {{Y(p), 1.0}});
    if (p == 0) continue;
    const int q = p - 1 - random.Below(std::min(p, 6));
    const std::size_t sq = static_cast<std::size_t>(q);
    const double kind = random.Uniform();
    if (kind < 0.25)
      AddRow(problem, true, 0.0, {{Y(p), 1.0}, {Y(q), -1.0}});  // horizontal
    else if (kind < 0.5)
      AddRow(problem, true, 0.0, {{X(p), 1.0}, {X(q), -1.0}});  // vertical
    else if (kind < 0.6) {                                      // coincident
      AddRow(problem, true, 0.0, {{X(p), 1.0}, {X(q), -1.0}});
      AddRow(problem, true, 0.0, {{Y(p), 1.0}, {Y(q), -1.0}});
    } else {  // soft relative position
      AddRow(problem, false, px[sp] - px[sq], {{X(p), 1.0}, {X(q), -1.0}});
      AddRow(problem, false, py[sp] - py[sq], {{Y(p), 1.0}, {Y(q), -1.0}});
    }
    if (p >= 2 && random.Uniform() < 0.5) {
      const int r = p - 1 - random.Below(std::min(p, 10));
      const std::size_t sr = static_cast<std::size_t>(r);
      AddRow(problem, false, px[sp] - px[sr], {{X(p), 1.0}, {X(r), -1.0}});
      AddRow(problem, false, py[sp] - py[sr], {{Y(p), 1.0}, {Y(r), -1.0}});
    }
  }
  const int last = points - 1;
  problem.cursorRowX = static_cast<int>(problem.rows.size());
  AddRow(problem, false, 10.0 * px.back(), {{X(last), 10.0}});
  problem.cursorRowY = static_cast<int>(problem.rows.size());
  AddRow(problem, false, 10.0 * py.back(), {{Y(last), 10.0}});
  if (shuffled) Shuffle(problem, 4);
  return problem;
}

// Uniform cubic B-spline basis on one span at local parameter t in [0, 1].
inline void CubicBasis(double t, double basis[4]) {
  const double s = 1.0 - t;
  basis[0] = s * s * s / 6.0;
  basis[1] = (3.0 * t * t * t - 6.0 * t * t + 4.0) / 6.0;
  basis[2] = (-3.0 * t * t * t + 3.0 * t * t + 3.0 * t + 1.0) / 6.0;
  basis[3] = t * t * t / 6.0;
}

// (d) Least-squares fit of a uniform bicubic surface with m x m control heights (variable i * m + j)
// to 3 x 3 samples per knot span (16 variables per data row); the control heights of the edge i = 0
// are fixed by hard rows (simple fixed values).
inline Problem BicubicFit(int m) {
  Problem problem;
  problem.family = "bicubic";
  problem.size = m;
  problem.variableCount = m * m;
  const int spans = m - 3, samples = 3 * spans;
  for (int a = 0; a < samples; ++a) {
    const double u = (a + 0.5) / 3.0;
    const int su = std::min(static_cast<int>(u), spans - 1);
    double bu[4];
    CubicBasis(u - su, bu);
    for (int b = 0; b < samples; ++b) {
      const double v = (b + 0.5) / 3.0;
      const int sv = std::min(static_cast<int>(v), spans - 1);
      double bv[4];
      CubicBasis(v - sv, bv);
      std::vector<std::pair<int, double>> terms;
      for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) terms.push_back({(su + i) * m + sv + j, bu[i] * bv[j]});
      AddRow(problem, false, std::sin(0.2 * u) * std::cos(0.15 * v) + 0.01 * u, std::move(terms));
    }
  }
  for (int j = 0; j < m; ++j) AddRow(problem, true, 0.01 * j, {{j, 1.0}});
  return problem;
}

// Shares of the relations that tie each new point of family (e) to earlier points, as a planar
// sketcher makes them; what the shares leave to 1 ties the point by soft relative rows only.
struct SketchMix {
  double fixed = 0.04;       // x_p = c (1 entry); half of these fix y_p too
  double horizontal = 0.12;  // y_p - y_q = 0 (2 entries)
  double vertical = 0.12;    // x_p - x_q = 0 (2 entries)
  double coincident = 0.06;  // both of the above
  double midpoint = 0.10;    // p midway between a and b: 2 x_p - x_a - x_b = 0, same in y (3 entries)
  double symmetric = 0.06;   // p symmetric to a about c: x_p + x_a - 2 x_c = 0, same in y (3 entries)
  double onLine = 0.10;      // p on the line of direction d through q: d.y (x_p - x_q) -
                             // d.x (y_p - y_q) = 0 (4 entries); a third of these fix x_p too
};

// Other mixes: mostly midpoints, symmetric points and points on lines (hard rows of 3 and 4
// entries); mostly hard rows of 1 and 2 entries; every point tied by a hard relation.
inline constexpr SketchMix kLongRowsMix{0.02, 0.05, 0.05, 0.02, 0.25, 0.15, 0.25};
inline constexpr SketchMix kShortRowsMix{0.05, 0.25, 0.25, 0.10, 0.03, 0.02, 0.03};
inline constexpr SketchMix kAllHardMix{0.10, 0.15, 0.15, 0.10, 0.20, 0.15, 0.15};

// (e) Sketch of P >= 1 planar points (x = 2p, y = 2p + 1) whose hard rows have 1 to 4 entries.
// Each point p > 0 is tied to earlier points among the eight before it by one relation drawn from
// the mix, and half of the points get a second, soft, tie; every point has soft "stay" rows and
// the last point has "follow the cursor" rows of gain 10 (coefficients 10, rhs 10 * cursor). The
// positions are drawn first (a random walk moved onto each point's relation), and every
// right-hand side is taken from them, so the system is consistent and `solution` is its
// least-squares solution. A hard relation determines coordinates of its new point from earlier
// points only (its rows restricted to the new point's coordinates are non-singular: directions
// have both components of magnitude 0.2 or more), so the hard rows are independent, and every
// variable has a stay row: Factor succeeds. Rows are in creation order (id = creation index);
// `shuffled` renames variables and row ids. The golden corpus of the solver tests pins problems
// of this family: a change of this generator changes those pins.
inline Problem RelationSketch(int points, bool shuffled, std::uint64_t seed = 6, const SketchMix& mix = SketchMix()) {
  enum class Relation { Soft, Fixed, Horizontal, Vertical, Coincident, OnLine, Midpoint, Symmetric };
  Problem problem;
  problem.family = shuffled ? "relsketch-shuffled" : "relsketch";
  problem.size = points;
  problem.variableCount = 2 * points;
  problem.solution.assign(static_cast<std::size_t>(problem.variableCount), 0.0);
  Random random(seed);
  auto X = [](int p) { return 2 * p; };
  auto Y = [](int p) { return 2 * p + 1; };
  auto at = [&problem](int variable) -> double& { return problem.solution[static_cast<std::size_t>(variable)]; };
  auto earlier = [&random](int p) { return p - 1 - random.Below(std::min(p, 8)); };
  auto draw = [&random, &mix]() {
    const std::pair<double, Relation> shares[] = {
        {mix.fixed, Relation::Fixed},        {mix.horizontal, Relation::Horizontal},
        {mix.vertical, Relation::Vertical},  {mix.coincident, Relation::Coincident},
        {mix.onLine, Relation::OnLine},      {mix.midpoint, Relation::Midpoint},
        {mix.symmetric, Relation::Symmetric}};
    double share = random.Uniform();
    for (const auto& [s, relation] : shares) {
      if (share < s) return relation;
      share -= s;
    }
    return Relation::Soft;
  };
  auto earlierPointsNeeded = [](Relation relation) {
    return relation == Relation::Fixed ? 0 : relation < Relation::Midpoint ? 1 : 2;
  };
  auto softTie = [&](int p, int q) {
    AddRow(problem, false, at(X(p)) - at(X(q)), {{X(p), 1.0}, {X(q), -1.0}});
    AddRow(problem, false, at(Y(p)) - at(Y(q)), {{Y(p), 1.0}, {Y(q), -1.0}});
  };
  for (int p = 0; p < points; ++p) {
    if (p > 0) {
      const double stepX = random.Uniform();
      const double stepY = random.Uniform();
      at(X(p)) = at(X(p - 1)) + stepX * 2.0 - 0.5;
      at(Y(p)) = at(Y(p - 1)) + stepY * 2.0 - 1.0;
    }
    Relation relation = draw();
    if (earlierPointsNeeded(relation) > p) relation = Relation::Soft;
    int a = -1, b = -1;  // the earlier points of the relation
    double dx = 0.0, dy = 0.0;
    bool second = false;  // fixed: y_p as well; on a line: x_p fixed too
    if (relation != Relation::Soft && relation != Relation::Fixed) a = earlier(p);
    if (relation == Relation::Midpoint || relation == Relation::Symmetric) do
        b = earlier(p);
      while (b == a);
    switch (relation) {
      case Relation::Soft:
        if (p > 0) a = earlier(p);
        break;
      case Relation::Fixed: second = random.Uniform() < 0.5; break;
      case Relation::Horizontal: at(Y(p)) = at(Y(a)); break;
      case Relation::Vertical: at(X(p)) = at(X(a)); break;
      case Relation::Coincident:
        at(X(p)) = at(X(a));
        at(Y(p)) = at(Y(a));
        break;
      case Relation::Midpoint:
        at(X(p)) = 0.5 * (at(X(a)) + at(X(b)));
        at(Y(p)) = 0.5 * (at(Y(a)) + at(Y(b)));
        break;
      case Relation::Symmetric:  // about b
        at(X(p)) = 2.0 * at(X(b)) - at(X(a));
        at(Y(p)) = 2.0 * at(Y(b)) - at(Y(a));
        break;
      case Relation::OnLine: {
        dx = 0.2 + 0.8 * random.Uniform();
        if (random.Uniform() < 0.5) dx = -dx;
        dy = 0.2 + 0.8 * random.Uniform();
        if (random.Uniform() < 0.5) dy = -dy;
        const double t = 0.5 + 1.5 * random.Uniform();
        at(X(p)) = at(X(a)) + t * dx;
        at(Y(p)) = at(Y(a)) + t * dy;
        second = random.Uniform() < 1.0 / 3.0;
        break;
      }
    }
    AddRow(problem, false, at(X(p)), {{X(p), 1.0}});
    AddRow(problem, false, at(Y(p)), {{Y(p), 1.0}});
    switch (relation) {
      case Relation::Soft:
        if (a >= 0) softTie(p, a);
        break;
      case Relation::Fixed:
        AddRow(problem, true, at(X(p)), {{X(p), 1.0}});
        if (second) AddRow(problem, true, at(Y(p)), {{Y(p), 1.0}});
        break;
      case Relation::Horizontal: AddRow(problem, true, 0.0, {{Y(p), 1.0}, {Y(a), -1.0}}); break;
      case Relation::Vertical: AddRow(problem, true, 0.0, {{X(p), 1.0}, {X(a), -1.0}}); break;
      case Relation::Coincident:
        AddRow(problem, true, 0.0, {{X(p), 1.0}, {X(a), -1.0}});
        AddRow(problem, true, 0.0, {{Y(p), 1.0}, {Y(a), -1.0}});
        break;
      case Relation::Midpoint:
        AddRow(problem, true, 0.0, {{X(p), 2.0}, {X(a), -1.0}, {X(b), -1.0}});
        AddRow(problem, true, 0.0, {{Y(p), 2.0}, {Y(a), -1.0}, {Y(b), -1.0}});
        break;
      case Relation::Symmetric:
        AddRow(problem, true, 0.0, {{X(p), 1.0}, {X(a), 1.0}, {X(b), -2.0}});
        AddRow(problem, true, 0.0, {{Y(p), 1.0}, {Y(a), 1.0}, {Y(b), -2.0}});
        break;
      case Relation::OnLine:
        AddRow(problem, true, 0.0, {{X(p), dy}, {X(a), -dy}, {Y(p), -dx}, {Y(a), dx}});
        if (second) AddRow(problem, true, at(X(p)), {{X(p), 1.0}});
        break;
    }
    if (p >= 2 && random.Uniform() < 0.5) softTie(p, earlier(p));
  }
  const int last = points - 1;
  problem.cursorRowX = static_cast<int>(problem.rows.size());
  AddRow(problem, false, 10.0 * at(X(last)), {{X(last), 10.0}});
  problem.cursorRowY = static_cast<int>(problem.rows.size());
  AddRow(problem, false, 10.0 * at(Y(last)), {{Y(last), 10.0}});
  if (shuffled) Shuffle(problem, seed ^ 0x5A5A5A5AULL);
  return problem;
}

// (g) A sketch of parts: 12 points in a row, each level with or above the one before (hard), a
// label point kept at an offset from the part's centre by two soft rows, and the part kept at
// its drawn offset from the previous part's first point (soft); the "stay" rows of every point
// come last. With labelsAfterParts the label rows are registered after every part's other rows:
// in the order of first appearance they give some of every part's variables columns far from
// the part's others, and the natural order fills L like an arrow; without, each part's label
// rows come with the part. The same system either way.
inline Problem PartsSketch(int parts, bool labelsAfterParts) {
  Problem problem;
  problem.family = labelsAfterParts ? "parts-arrow" : "parts";
  problem.size = parts;
  constexpr int kPoints = 13;  // 12 in a row and the label
  problem.variableCount = 2 * kPoints * parts;
  Random random(7);
  auto X = [](int part, int k) { return 2 * (kPoints * part + k); };
  auto Y = [](int part, int k) { return 2 * (kPoints * part + k) + 1; };
  std::vector<Row> labels, stays;
  auto label = [&](int part) {  // 2 x_label - x_0 - x_11 = 2 dx, the same in y
    for (int axis = 0; axis < 2; ++axis) {
      auto v = axis == 0 ? X : Y;
      Problem scratch;
      AddRow(scratch, false, 1.0, {{v(part, 12), 2.0}, {v(part, 0), -1.0}, {v(part, 11), -1.0}});
      (labelsAfterParts ? labels : problem.rows).push_back(scratch.rows.back());
    }
  };
  for (int part = 0; part < parts; ++part) {
    for (int k = 1; k < 12; ++k) {
      if (k % 2 == 1)
        AddRow(problem, true, 0.0, {{Y(part, k), 1.0}, {Y(part, k - 1), -1.0}});
      else
        AddRow(problem, true, 0.0, {{X(part, k), 1.0}, {X(part, k - 1), -1.0}});
    }
    label(part);
    if (part > 0) {
      AddRow(problem, false, 5.0, {{X(part, 0), 1.0}, {X(part - 1, 0), -1.0}});
      AddRow(problem, false, 0.0, {{Y(part, 0), 1.0}, {Y(part - 1, 0), -1.0}});
    }
  }
  for (Row& row : labels) problem.rows.push_back(row);
  for (int part = 0; part < parts; ++part)
    for (int k = 0; k < kPoints; ++k) {
      AddRow(problem, false, 5.0 * part + k + random.Uniform(), {{X(part, k), 1.0}});
      AddRow(problem, false, random.Uniform(), {{Y(part, k), 1.0}});
    }
  for (std::size_t i = 0; i < problem.rows.size(); ++i) problem.rows[i].id = static_cast<int>(i);
  return problem;
}

// (f) Elimination stress: `chains` chains of `length` hard difference rows x[i+1] - x[i] = c[i]
// each, with soft data rows on every eighth value and on the chain's end.
inline Problem HardChains(int chains, int length) {
  Problem problem;
  problem.family = chains == 1 ? "hardchain" : "hardchains";
  problem.size = chains * length;
  problem.variableCount = chains * (length + 1);
  Random random(5);
  for (int c = 0; c < chains; ++c) {
    const int base = c * (length + 1);
    for (int i = 0; i < length; ++i) {
      AddRow(problem, true, random.Uniform() - 0.5, {{base + i, -1.0}, {base + i + 1, 1.0}});
      if (i % 8 == 0) AddRow(problem, false, random.Uniform(), {{base + i, 1.0}});
    }
    AddRow(problem, false, random.Uniform(), {{base + length, 1.0}});
  }
  return problem;
}

}  // namespace zrmgen

#endif
