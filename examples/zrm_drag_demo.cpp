// zrm_drag_demo: the interactive-drag loop of a planar sketcher on ZRMLSQSolver.
//
// A sketch is a set of points (two variables each) under linear relations: fixed points,
// horizontal and vertical pairs, coincident points and midpoints are hard rows (met exactly);
// "stay where you were" rows on every point and "follow the cursor" rows on the dragged point are
// soft rows. The solver factors the system once; every drag step then only changes right-hand sides
// (the cursor, and the stay targets = the positions of the previous step) and solves again.
//
//   zrm_drag_demo                  the built-in sketch: a table of the solved points per step
//   zrm_drag_demo --svg out.svg    also writes the final sketch as an SVG picture
//   zrm_drag_demo --points 100000  a large sketch of that many points: factor and re-solve times
//   zrm_drag_demo --steps 50       number of drag steps of the large sketch (default 20)
//   zrm_drag_demo --points N --ordering fill-reducing
//                                  the large sketch factored with ZRMLSQOrdering::FillReducing,
//                                  beside the default order for comparison
//   zrm_drag_demo --diagnose       a sketch with a redundant, a conflicting and an unfixed part:
//                                  what ZRMLSQSolver::Diagnose says of it, in words
#include <ZRMLSQSolver.h>
#include <ZRMUtLess.h>
#include <ZRMUtMap.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct SketchPoint {
  std::string name;
  double x, y;  // drawn position, then the last solved one
};

// One linear row over point coordinates: sum(a * coordinate) = rhs.
struct SketchRow {
  int id;
  double rhs;
  std::vector<std::pair<int, double>> terms;  // (variable, coefficient); variable 2p = x, 2p + 1 = y
  std::string what;                           // in the words of a sketcher's user
};

// How the picture marks what Diagnose found: hard rows drawn in a colour (by their index among
// the hard rows; none when empty) and points drawn hollow.
struct Marks {
  std::vector<std::string> rowColour;
  std::vector<bool> hollow;
};

// A planar sketch held as rows of a ZRMLSQSolver; the rows are also kept here so that the
// demo can check the hard ones independently of the solver.
class DragSketch {
public:
  static constexpr double kCursorGain = 10.0;  // cursor rows weigh 100 times a stay row

  int AddPoint(const std::string& name, double x, double y) {
    mPoints.push_back({name, x, y});
    return static_cast<int>(mPoints.size()) - 1;
  }
  void AddSegment(int p, int q) { mSegments.emplace_back(p, q); }

  // Hard relations.
  void Fix(int p) {
    AddHard(mPoints[Index(p)].x, {{X(p), 1.0}}, Name(p) + " fixed in x");
    AddHard(mPoints[Index(p)].y, {{Y(p), 1.0}}, Name(p) + " fixed in y");
  }
  void Horizontal(int p, int q) { AddHard(0.0, {{Y(p), 1.0}, {Y(q), -1.0}}, Name(q) + " level with " + Name(p)); }
  void Vertical(int p, int q) { AddHard(0.0, {{X(p), 1.0}, {X(q), -1.0}}, Name(q) + " above " + Name(p)); }
  void Coincident(int p, int q) {
    Vertical(p, q);
    Horizontal(p, q);
  }
  void Midpoint(int m, int p, int q) {
    const std::string what = Name(m) + " midway between " + Name(p) + " and " + Name(q);
    AddHard(0.0, {{X(m), 2.0}, {X(p), -1.0}, {X(q), -1.0}}, what + " (x)");
    AddHard(0.0, {{Y(m), 2.0}, {Y(p), -1.0}, {Y(q), -1.0}}, what + " (y)");
  }
  // q lies distance to the right of p.
  void HorizontalDistance(int p, int q, double distance) {
    AddHard(distance, {{X(q), 1.0}, {X(p), -1.0}},
            Name(q) + " " + std::to_string(distance).substr(0, 4) + " right of " + Name(p));
  }

  // Soft relation: keep the offset from q to p as drawn.
  void KeepOffset(int p, int q) {
    AddSoft(mPoints[Index(p)].x - mPoints[Index(q)].x, {{X(p), 1.0}, {X(q), -1.0}});
    AddSoft(mPoints[Index(p)].y - mPoints[Index(q)].y, {{Y(p), 1.0}, {Y(q), -1.0}});
  }

  // Adds the stay rows of every point and the cursor rows of the dragged point, then factors.
  bool Factor(int dragged) {
    mDragged = dragged;
    AddStayRows();
    mCursorX = AddSoft(kCursorGain * mPoints[Index(dragged)].x, {{X(dragged), kCursorGain}});
    mCursorY = AddSoft(kCursorGain * mPoints[Index(dragged)].y, {{Y(dragged), kCursorGain}});
    return mSolver.Factor();
  }

  // The stay rows of every point: keep each coordinate where it is, as well as possible.
  void AddStayRows() {
    mStayIds.clear();
    for (int p = 0; p < PointCount(); ++p) {
      mStayIds.push_back(AddSoft(mPoints[Index(p)].x, {{X(p), 1.0}}));
      mStayIds.push_back(AddSoft(mPoints[Index(p)].y, {{Y(p), 1.0}}));
    }
  }

  // One drag step: stay targets = current positions, cursor rows = the cursor; solve, read back.
  bool Step(double cursorX, double cursorY) {
    for (int p = 0; p < PointCount(); ++p) {
      mSolver.SetRhs(mStayIds[2 * Index(p)], mPoints[Index(p)].x);
      mSolver.SetRhs(mStayIds[2 * Index(p) + 1], mPoints[Index(p)].y);
    }
    mSolver.SetRhs(mCursorX, kCursorGain * cursorX);
    mSolver.SetRhs(mCursorY, kCursorGain * cursorY);
    if (!mSolver.Solve()) return false;
    for (int p = 0; p < PointCount(); ++p) {
      mPoints[Index(p)].x = mSolver.GetResult(X(p));
      mPoints[Index(p)].y = mSolver.GetResult(Y(p));
    }
    return true;
  }

  // Largest |sum(a * coordinate) - rhs| over the hard rows at the current positions.
  double HardResidual() const {
    double worst = 0.0;
    for (const SketchRow& row : mHardRows) {
      double sum = -row.rhs;
      for (const auto& [variable, a] : row.terms) sum += a * Coordinate(variable);
      worst = std::max(worst, std::fabs(sum));
    }
    return worst;
  }

  void SetOrdering(ZRMLSQOrdering ordering) { mSolver.SetOrdering(ordering); }

  // What the solver finds wrong or open in the sketch as registered.
  bool Diagnose(ZRMLSQDiagnosis& diagnosis) { return mSolver.Diagnose(diagnosis); }
  // The hard rows a dependent hard row was found to combine (indices among the hard rows).
  std::vector<int> DependencyOf(int hardRow) const {
    ZRMUtVector<int> group;
    mSolver.DependencyOf(HardRow(hardRow).id, group);
    std::vector<int> rows(static_cast<std::size_t>(group.Size()));
    for (int k = 0; k < group.Size(); ++k) rows[static_cast<std::size_t>(k)] = HardRowOfId(group[k]);
    return rows;
  }
  int HardRowOfId(int id) const {
    for (std::size_t r = 0; r < mHardRows.size(); ++r)
      if (mHardRows[r].id == id) return static_cast<int>(r);
    return -1;
  }
  const SketchRow& HardRow(int r) const { return mHardRows[Index(r)]; }

  int PointCount() const { return static_cast<int>(mPoints.size()); }
  int HardRowCount() const { return static_cast<int>(mHardRows.size()); }
  int SoftRowCount() const { return mSoftRowCount; }
  int Dragged() const { return mDragged; }
  const SketchPoint& Point(int p) const { return mPoints[Index(p)]; }
  const std::vector<std::pair<int, int>>& Segments() const { return mSegments; }

private:
  static int X(int p) { return 2 * p; }
  static int Y(int p) { return 2 * p + 1; }
  static std::size_t Index(int i) { return static_cast<std::size_t>(i); }
  const std::string& Name(int p) const { return mPoints[Index(p)].name; }

  double Coordinate(int variable) const {
    const SketchPoint& point = mPoints[Index(variable / 2)];
    return variable % 2 == 0 ? point.x : point.y;
  }

  // Registers a named row with the solver and returns its id.
  int Register(bool hard, double rhs, const std::vector<std::pair<int, double>>& terms) {
    ZRMUtMap<int, double, ZRMUtLess<int>> coefficients;
    for (const auto& [variable, a] : terms) coefficients[variable] = a;
    const int id = mNextId++;
    mSolver.AddConstraint(hard, coefficients, id);
    mSolver.SetRhs(id, rhs);
    return id;
  }

  void AddHard(double rhs, std::vector<std::pair<int, double>> terms, std::string what) {
    const int id = Register(true, rhs, terms);
    mHardRows.push_back({id, rhs, std::move(terms), std::move(what)});
  }

  int AddSoft(double rhs, const std::vector<std::pair<int, double>>& terms) {
    ++mSoftRowCount;
    return Register(false, rhs, terms);
  }

  ZRMLSQSolver mSolver;
  std::vector<SketchPoint> mPoints;
  std::vector<std::pair<int, int>> mSegments;
  std::vector<SketchRow> mHardRows;
  std::vector<int> mStayIds;
  int mSoftRowCount = 0;
  int mNextId = 0;
  int mDragged = -1;
  int mCursorX = -1, mCursorY = -1;
};

// Points of one cell of the sketch: a rectangle A B C D with its centre M, and a line E F whose
// end E is joined to the corner C, with its midpoint N.
struct Cell {
  int a, b, c, d, m, e, f, n;
};

// Adds one cell drawn at (ox, oy); the drawing is a little off so that the first solve snaps it.
Cell AddCell(DragSketch& sketch, double ox, double oy, const std::string& suffix) {
  Cell cell;
  cell.a = sketch.AddPoint("A" + suffix, ox + 0.0, oy + 0.0);
  cell.b = sketch.AddPoint("B" + suffix, ox + 6.0, oy + 0.2);
  cell.c = sketch.AddPoint("C" + suffix, ox + 6.1, oy + 4.0);
  cell.d = sketch.AddPoint("D" + suffix, ox - 0.2, oy + 3.9);
  cell.m = sketch.AddPoint("M" + suffix, ox + 3.0, oy + 2.0);
  cell.e = sketch.AddPoint("E" + suffix, ox + 6.0, oy + 4.0);
  cell.f = sketch.AddPoint("F" + suffix, ox + 9.0, oy + 6.0);
  cell.n = sketch.AddPoint("N" + suffix, ox + 7.5, oy + 5.0);
  sketch.Horizontal(cell.a, cell.b);
  sketch.Vertical(cell.b, cell.c);
  sketch.Horizontal(cell.c, cell.d);
  sketch.Vertical(cell.d, cell.a);
  sketch.Midpoint(cell.m, cell.a, cell.c);
  sketch.Coincident(cell.e, cell.c);
  sketch.Midpoint(cell.n, cell.e, cell.f);
  for (auto [p, q] :
       {std::pair<int, int>{cell.a, cell.b}, {cell.b, cell.c}, {cell.c, cell.d}, {cell.d, cell.a}, {cell.e, cell.f}})
    sketch.AddSegment(p, q);
  return cell;
}

// What each point of the built-in cell is, for the table.
const char* Role(int index) {
  static const char* const roles[] = {"fixed",        "horizontal to A", "vertical to B", "on CD, DA",
                                      "midpoint A-C", "coincident C",    "free end",      "midpoint E-F"};
  return roles[index % 8];
}

// Point as "(x, y)" with two decimals; values that round to zero print as 0.00, never -0.00.
std::string FormatPoint(double x, double y) {
  auto clean = [](double v) { return std::fabs(v) < 0.005 ? 0.0 : v; };
  char text[40];
  std::snprintf(text, sizeof text, "(%5.2f, %5.2f)", clean(x), clean(y));
  return text;
}

void PrintRow(const std::string& label, const std::vector<std::string>& cells) {
  std::printf("%-20s", label.c_str());
  for (const std::string& cell : cells) std::printf(" %14s", cell.c_str());
  std::printf("\n");
}

// Writes the sketch as an SVG picture (y up), with the cursor as a cross when it is finite, and
// the marks of a diagnosis when given: hard rows as dashed lines through their points.
bool WriteSvg(const DragSketch& sketch, const std::string& path, double cursorX, double cursorY,
              const Marks* marks = nullptr) {
  const bool cursor = std::isfinite(cursorX) && std::isfinite(cursorY);
  double minX = cursor ? cursorX : sketch.Point(0).x, maxX = minX;
  double minY = cursor ? cursorY : sketch.Point(0).y, maxY = minY;
  for (int p = 0; p < sketch.PointCount(); ++p) {
    minX = std::min(minX, sketch.Point(p).x);
    maxX = std::max(maxX, sketch.Point(p).x);
    minY = std::min(minY, sketch.Point(p).y);
    maxY = std::max(maxY, sketch.Point(p).y);
  }
  const double margin = 1.0 + 0.05 * std::max(maxX - minX, maxY - minY);
  const double scale = 600.0 / std::max({maxX - minX + 2 * margin, maxY - minY + 2 * margin, 1e-9});
  auto sx = [&](double x) { return (x - minX + margin) * scale; };
  auto sy = [&](double y) { return (maxY + margin - y) * scale; };
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (!file) return false;
  std::fprintf(file, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" height=\"%.0f\">\n",
               (maxX - minX + 2 * margin) * scale, (maxY - minY + 2 * margin) * scale);
  std::fprintf(file, "<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n");
  for (auto [p, q] : sketch.Segments())
    std::fprintf(file,
                 "<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" stroke=\"#1f4e9c\" stroke-width=\"2\"/>\n",
                 sx(sketch.Point(p).x), sy(sketch.Point(p).y), sx(sketch.Point(q).x), sy(sketch.Point(q).y));
  for (int r = 0; marks != nullptr && r < static_cast<int>(marks->rowColour.size()); ++r) {
    if (marks->rowColour[static_cast<std::size_t>(r)].empty()) continue;
    std::vector<int> points;  // the row's points, in the order of its terms
    for (const auto& term : sketch.HardRow(r).terms)
      if (std::find(points.begin(), points.end(), term.first / 2) == points.end()) points.push_back(term.first / 2);
    const char* colour = marks->rowColour[static_cast<std::size_t>(r)].c_str();
    if (points.size() == 1)  // a row on one point: a ring around it
      std::fprintf(file, "<circle cx=\"%.2f\" cy=\"%.2f\" r=\"11\" fill=\"none\" stroke=\"%s\" stroke-width=\"3\"/>\n",
                   sx(sketch.Point(points[0]).x), sy(sketch.Point(points[0]).y), colour);
    for (std::size_t k = 1; k < points.size(); ++k)
      std::fprintf(file,
                   "<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" y2=\"%.2f\" stroke=\"%s\" stroke-width=\"3\" "
                   "stroke-dasharray=\"8 4\"/>\n",
                   sx(sketch.Point(points[k - 1]).x), sy(sketch.Point(points[k - 1]).y), sx(sketch.Point(points[k]).x),
                   sy(sketch.Point(points[k]).y), colour);
  }
  const bool labels = sketch.PointCount() <= 64;
  for (int p = 0; p < sketch.PointCount(); ++p) {
    const char* colour = p == sketch.Dragged() ? "#d62728" : "#222222";
    const bool hollow = marks != nullptr && marks->hollow[static_cast<std::size_t>(p)];
    std::fprintf(file, "<circle cx=\"%.2f\" cy=\"%.2f\" r=\"5\" fill=\"%s\" stroke=\"%s\" stroke-width=\"2\"/>\n",
                 sx(sketch.Point(p).x), sy(sketch.Point(p).y), hollow ? "white" : colour, colour);
    if (labels)
      std::fprintf(file, "<text x=\"%.2f\" y=\"%.2f\" font-family=\"sans-serif\" font-size=\"14\">%s</text>\n",
                   sx(sketch.Point(p).x) + 6, sy(sketch.Point(p).y) - 6, sketch.Point(p).name.c_str());
  }
  if (cursor)
    std::fprintf(file, "<path d=\"M %.2f %.2f h 16 M %.2f %.2f v 16\" stroke=\"#d62728\" stroke-width=\"2\"/>\n",
                 sx(cursorX) - 8, sy(cursorY), sx(cursorX), sy(cursorY) - 8);
  std::fprintf(file, "</svg>\n");
  return std::fclose(file) == 0;
}

// Prints whether the hard rows held and writes the picture when asked; the exit status.
int Conclude(const DragSketch& sketch, double worstResidual, const std::string& svgPath, double cursorX,
             double cursorY) {
  const bool ok = worstResidual < 1e-9;
  std::printf("Hard constraints hold to %.1e over all steps (limit 1e-9): %s\n", worstResidual, ok ? "OK" : "FAILED");
  if (!svgPath.empty()) {
    if (!WriteSvg(sketch, svgPath, cursorX, cursorY)) {
      std::fprintf(stderr, "zrm_drag_demo: cannot write %s\n", svgPath.c_str());
      return 1;
    }
    std::printf("Final sketch written to %s\n", svgPath.c_str());
  }
  return ok ? 0 : 1;
}

// The per-step table of the built-in sketch: one column per state, one line per point.
class DragTable {
public:
  explicit DragTable(const DragSketch& sketch) : mPoints(static_cast<std::size_t>(sketch.PointCount())) {
    AddColumn(sketch, "drawn", "-", "-", "-");
  }

  void AddColumn(const DragSketch& sketch, const std::string& header, const std::string& cursor,
                 const std::string& time, const std::string& residual) {
    mHeader.push_back(header);
    mCursors.push_back(cursor);
    mTimes.push_back(time);
    mResiduals.push_back(residual);
    for (int p = 0; p < sketch.PointCount(); ++p)
      mPoints[static_cast<std::size_t>(p)].push_back(FormatPoint(sketch.Point(p).x, sketch.Point(p).y));
  }

  void Print(const DragSketch& sketch) const {
    PrintRow("point", mHeader);
    PrintRow("cursor", mCursors);
    for (int p = 0; p < sketch.PointCount(); ++p)
      PrintRow(sketch.Point(p).name + "  " + Role(p), mPoints[static_cast<std::size_t>(p)]);
    PrintRow("solve time", mTimes);
    PrintRow("max |hard residual|", mResiduals);
  }

private:
  std::vector<std::string> mHeader, mCursors, mTimes, mResiduals;
  std::vector<std::vector<std::string>> mPoints;
};

std::string FormatNumber(const char* format, double value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// The built-in sketch: one cell, C dragged along a short cursor path; prints the table.
int RunDefault(const std::string& svgPath) {
  DragSketch sketch;
  const Cell cell = AddCell(sketch, 0.0, 0.0, "");
  sketch.Fix(cell.a);
  DragTable table(sketch);
  const Clock::time_point factorStart = Clock::now();
  if (!sketch.Factor(cell.c)) {
    std::fprintf(stderr, "zrm_drag_demo: the sketch could not be factored\n");
    return 1;
  }
  const double factorMs = MillisecondsSince(factorStart);
  std::printf(
      "Drag demo: %d points, %d hard rows (fixed A, horizontal, vertical, coincident, midpoints),\n"
      "%d soft rows (stay where you were; C follows the cursor with gain %.0f).\n",
      sketch.PointCount(), sketch.HardRowCount(), sketch.SoftRowCount(), DragSketch::kCursorGain);
  std::printf("Factor (once): %.3f ms. Each step: SetRhs of every stay and cursor row, Solve, read back.\n\n",
              factorMs);

  const std::vector<std::pair<double, double>> path{{6.1, 4.0}, {7.0, 4.5}, {8.0, 5.0}, {8.5, 3.0}, {5.0, 2.0}};
  double worst = 0.0;
  for (std::size_t s = 0; s < path.size(); ++s) {
    const Clock::time_point solveStart = Clock::now();
    if (!sketch.Step(path[s].first, path[s].second)) {
      std::fprintf(stderr, "zrm_drag_demo: solve failed at step %zu\n", s);
      return 1;
    }
    const double solveMs = MillisecondsSince(solveStart);
    worst = std::max(worst, sketch.HardResidual());
    table.AddColumn(sketch, "step " + std::to_string(s), FormatPoint(path[s].first, path[s].second),
                    FormatNumber("%.1f us", solveMs * 1e3), FormatNumber("%.1e", sketch.HardResidual()));
  }
  table.Print(sketch);
  const double distance =
      std::hypot(sketch.Point(cell.c).x - path.back().first, sketch.Point(cell.c).y - path.back().second);
  std::printf(
      "\nC ends %.3f from the cursor; the other points follow through the hard relations and\n"
      "otherwise stay as close as they can to where they were.\n",
      distance);
  return Conclude(sketch, worst, svgPath, path.back().first, path.back().second);
}

// A large sketch: cells in a serpentine strip, each tied to the previous one by soft "keep the
// offset" rows; the first A is fixed. Cells hold 8 points, so the count is rounded up to a multiple of 8.
std::unique_ptr<DragSketch> BuildLarge(int points, Cell& dragged) {
  const int cells = (points + 7) / 8, perRow = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(cells))));
  auto sketch = std::make_unique<DragSketch>();
  std::vector<Cell> all;
  for (int k = 0; k < cells; ++k) {
    const int row = k / perRow, column = row % 2 == 0 ? k % perRow : perRow - 1 - k % perRow;
    all.push_back(AddCell(*sketch, 12.0 * column, 9.0 * row, "_" + std::to_string(k)));
    if (k > 0) sketch->KeepOffset(all.back().a, all[static_cast<std::size_t>(k - 1)].a);
  }
  sketch->Fix(all.front().a);
  dragged = all[all.size() / 2];
  return sketch;
}

// Drags the C of the middle cell of a large sketch once around a circle; prints the times.
// The time of the first Factor of the large sketch in the default order, for comparison.
double FactorTimeAsGiven(int points) {
  Cell target;
  const std::unique_ptr<DragSketch> sketch = BuildLarge(points, target);
  const Clock::time_point start = Clock::now();
  return sketch->Factor(target.c) ? MillisecondsSince(start) : -1.0;
}

int RunLarge(int points, int steps, const std::string& svgPath, bool fillReducing) {
  const Clock::time_point buildStart = Clock::now();
  Cell target;
  const std::unique_ptr<DragSketch> sketch = BuildLarge(points, target);
  if (fillReducing) sketch->SetOrdering(ZRMLSQOrdering::FillReducing);
  const double buildMs = MillisecondsSince(buildStart);
  const Clock::time_point factorStart = Clock::now();
  if (!sketch->Factor(target.c)) {
    std::fprintf(stderr, "zrm_drag_demo: the sketch could not be factored\n");
    return 1;
  }
  const double factorMs = MillisecondsSince(factorStart);
  std::printf("Large sketch: %d points, %d variables, %d hard rows, %d soft rows\n", sketch->PointCount(),
              2 * sketch->PointCount(), sketch->HardRowCount(), sketch->SoftRowCount());
  std::printf("register: %.1f ms   factor: %.1f ms%s\n", buildMs, factorMs, fillReducing ? " (fill-reducing)" : "");
  if (fillReducing) std::printf("factor in the order as given, for comparison: %.1f ms\n", FactorTimeAsGiven(points));

  const double x0 = sketch->Point(target.c).x, y0 = sketch->Point(target.c).y;
  std::vector<double> times;
  double worst = 0.0, cursorX = x0, cursorY = y0;
  for (int s = 0; s < steps; ++s) {
    const double angle = 6.283185307179586 * (s + 1) / steps;
    cursorX = x0 + 2.0 * std::sin(angle);
    cursorY = y0 + 2.0 * (1.0 - std::cos(angle));
    const Clock::time_point solveStart = Clock::now();
    if (!sketch->Step(cursorX, cursorY)) {
      std::fprintf(stderr, "zrm_drag_demo: solve failed at step %d\n", s);
      return 1;
    }
    times.push_back(MillisecondsSince(solveStart));
    worst = std::max(worst, sketch->HardResidual());
  }
  std::sort(times.begin(), times.end());
  std::printf(
      "%d drag steps (SetRhs of %d stay and cursor rows + Solve + read back): min %.2f ms, median %.2f ms, max %.2f "
      "ms\n",
      steps, 2 * sketch->PointCount() + 2, times.front(), times[times.size() / 2], times.back());
  return Conclude(*sketch, worst, svgPath, cursorX, cursorY);
}

// The hard rows of a list of constraint ids, as quoted descriptions.
std::string Describe(const DragSketch& sketch, const std::vector<int>& rows) {
  std::string text;
  for (const int r : rows) text += (text.empty() ? "\"" : ", \"") + sketch.HardRow(r).what + "\"";
  return text;
}

// Prints the dependent hard rows of one kind with what they depend on; marks them.
void ReportDependent(const DragSketch& sketch, const ZRMUtVector<int>& ids, const char* verdict, const char* colour,
                     Marks& marks) {
  for (int k = 0; k < ids.Size(); ++k) {
    const int row = sketch.HardRowOfId(ids[k]);
    std::printf("  \"%s\" %s %s.\n", sketch.HardRow(row).what.c_str(), verdict,
                Describe(sketch, sketch.DependencyOf(row)).c_str());
    marks.rowColour[static_cast<std::size_t>(row)] = colour;
  }
}

// A small sketch with one redundant constraint, one conflicting one and unfixed points: what
// Diagnose says of it, in words; with --svg, the picture.
int RunDiagnose(const std::string& svgPath) {
  DragSketch sketch;
  const int a = sketch.AddPoint("A", 0.0, 0.0);
  const int b = sketch.AddPoint("B", 6.0, 0.0);
  const int c = sketch.AddPoint("C", 6.0, 4.0);
  const int d = sketch.AddPoint("D", 2.0, 3.0);
  sketch.AddSegment(a, b);
  sketch.AddSegment(b, c);
  sketch.AddSegment(c, d);
  sketch.Fix(a);
  sketch.Fix(b);
  sketch.Vertical(b, c);
  sketch.Horizontal(a, b);               // implied: A and B are fixed at the same height
  sketch.HorizontalDistance(a, b, 5.0);  // contradicts: they are fixed 6 apart
  sketch.AddStayRows();
  ZRMLSQDiagnosis diagnosis;
  if (!sketch.Diagnose(diagnosis)) return 1;
  std::printf(
      "Sketch: A and B fixed, C above B, B level with A, B 5 right of A; D free. Every point also\n"
      "stays where it is drawn as well as it can (soft rows).\n\n");
  Marks marks{std::vector<std::string>(static_cast<std::size_t>(sketch.HardRowCount())),
              std::vector<bool>(static_cast<std::size_t>(sketch.PointCount()), false)};
  std::printf("Conflicting constraints (delete one, or change a dimension):\n");
  ReportDependent(sketch, diagnosis.mConflicting, "contradicts", "#d62728", marks);
  std::printf("Redundant constraints (they change nothing; delete them):\n");
  ReportDependent(sketch, diagnosis.mRedundant, "follows from", "#ff8c00", marks);
  std::printf("Points not fully constrained by the hard constraints:\n");
  for (int p = 0; p < sketch.PointCount(); ++p) {
    std::string free;
    for (const int variable : {2 * p, 2 * p + 1})
      for (int k = 0; k < diagnosis.mNotFixedByHardRows.Size(); ++k)
        if (diagnosis.mNotFixedByHardRows[k] == variable)
          free += variable % 2 == 0 ? "x" : (free.empty() ? "y" : " and y");
    if (free.empty()) continue;
    marks.hollow[static_cast<std::size_t>(p)] = true;
    std::printf("  %s (%s can move)\n", sketch.Point(p).name.c_str(), free.c_str());
  }
  std::printf("Degrees of freedom left: %d\n", diagnosis.mHardDegreesOfFreedom);
  if (svgPath.empty()) return 0;
  if (!WriteSvg(sketch, svgPath, std::nan(""), std::nan(""), &marks)) {
    std::fprintf(stderr, "zrm_drag_demo: cannot write %s\n", svgPath.c_str());
    return 1;
  }
  std::printf("Picture written to %s (conflicting red, redundant orange, unfixed points hollow)\n", svgPath.c_str());
  return 0;
}

int Usage(const char* program) {
  std::fprintf(stderr,
               "usage: %s [--svg FILE] [--points N [--steps S] [--ordering as-given|fill-reducing] | --diagnose]\n"
               "  --svg FILE   write the final sketch as an SVG picture\n"
               "  --diagnose   say what is redundant, conflicting or unfixed in a small sketch\n"
               "  --ordering O the generated sketch's factorization order (as-given, the default, or\n"
               "               fill-reducing, then timed beside as-given)\n"
               "  --points N   drag a generated sketch of N points (8 <= N <= 10000000) and report times\n"
               "  --steps S    drag steps of the generated sketch (1 <= S <= 100000, default 20)\n",
               program);
  return 2;
}

// Parses a whole decimal integer in [low, high]; false for anything else.
bool ParseInt(const char* text, int low, int high, int& value) {
  char* end = nullptr;
  const long parsed = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || parsed < low || parsed > high) return false;
  value = static_cast<int>(parsed);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string svgPath;
  int points = 0, steps = 20;
  bool stepsGiven = false, diagnose = false, orderingGiven = false, fillReducing = false;
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--svg") == 0 && hasValue && argv[i + 1][0] != '\0')
      svgPath = argv[++i];
    else if (std::strcmp(argv[i], "--points") == 0 && hasValue && ParseInt(argv[i + 1], 8, 10000000, points))
      ++i;
    else if (std::strcmp(argv[i], "--steps") == 0 && hasValue && ParseInt(argv[i + 1], 1, 100000, steps))
      ++i, stepsGiven = true;
    else if (std::strcmp(argv[i], "--diagnose") == 0)
      diagnose = true;
    else if (std::strcmp(argv[i], "--ordering") == 0 && hasValue &&
             (std::strcmp(argv[i + 1], "as-given") == 0 || std::strcmp(argv[i + 1], "fill-reducing") == 0))
      fillReducing = std::strcmp(argv[++i], "fill-reducing") == 0, orderingGiven = true;
    else
      return Usage(argv[0]);
  }
  if (((stepsGiven || orderingGiven) && points == 0) || (diagnose && points > 0)) return Usage(argv[0]);
  if (diagnose) return RunDiagnose(svgPath);
  return points > 0 ? RunLarge(points, steps, svgPath, fillReducing) : RunDefault(svgPath);
}
