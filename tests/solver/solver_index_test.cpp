// Two parts of the solver against models: the id index against a std::map, and the pivot
// search against the literal scan it replaces.
#include "SolverTestSupport.h"
#include "ZRMIdIndex.h"
#include "ZRMPivotSearch.h"
#include "ZRMTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <map>

namespace {

using solvertest::Random;

// Ids around a base: below it, in the table, just beyond its reach, far away and extreme.
int DrawId(Random& random, int base) {
  switch (random.Int(0, 4)) {
    case 0: return base + random.Int(0, 3000);
    case 1: return base - random.Int(1, 50);
    case 2: return base + random.Int(3000, 20000);
    case 3: return random.Chance(0.5) ? INT_MAX - random.Int(0, 3) : INT_MIN + random.Int(0, 3);
    default: return random.Int(-1000000, 1000000);
  }
}

}  // namespace

// Inserts, erasures, position changes and resets: Find, Size and the ascending walk agree with
// the map after every operation group, whatever the base and the table's growth; bulk entry
// and ranking give every id its rank.
TEST(IdIndex, AgreesWithAMapModel) {
  Random random(1207);
  for (int round = 0; round < zrmtest::Scaled(40); ++round) {
    const int base = round % 3 == 0 ? 0 : random.Int(-100000, 100000);
    IdIndex index;
    index.Reset(base, static_cast<std::size_t>(random.Int(0, 2000)));
    std::map<int, int> model;
    for (int op = 0; op < 600; ++op) {
      const int id = DrawId(random, base);
      const auto found = model.find(id);
      if (found == model.end()) {
        const int position = random.Int(0, 1 << 20);
        index.Insert(id, position);
        model[id] = position;
      } else if (random.Chance(0.3)) {
        index.Erase(id);
        model.erase(found);
      } else {
        index.Position(id) = found->second = random.Int(0, 9);
      }
      const int probe = DrawId(random, base);
      EXPECT_EQ(index.Find(probe), model.count(probe) ? model[probe] : IdIndex::kAbsent) << probe;
    }
    ASSERT_EQ(index.Size(), model.size());
    std::vector<std::pair<int, int>> walked;
    index.ForEachAscending([&walked](int id, int position) { walked.emplace_back(id, position); });
    EXPECT_EQ(walked, (std::vector<std::pair<int, int>>(model.begin(), model.end())));
    for (const auto& [id, position] : model) EXPECT_EQ(index.Find(id), position) << id;

    // Bulk entry with repeats, then ranks: every id at its rank among the ids, ascending.
    IdIndex ranked;
    ranked.Reset(base, static_cast<std::size_t>(random.Int(0, 2000)));
    ranked.EnterAll([&model](auto enter) {
      for (int repeat = 0; repeat < 2; ++repeat)
        for (const auto& entry : model) enter(entry.first);
    });
    std::vector<int> ids;
    ranked.RankAscending(ids);
    ASSERT_EQ(ranked.Size(), model.size());
    ASSERT_EQ(ids.size(), model.size());
    int rank = 0;
    for (const auto& entry : model) {
      EXPECT_EQ(ids[static_cast<std::size_t>(rank)], entry.first);
      EXPECT_EQ(ranked.Find(entry.first), rank++) << entry.first;
    }
  }
}

namespace {

// Rows of coefficients drawn to tie often, with long rows that score above 0.5.
std::vector<double> DrawRow(Random& random) {
  static const double kValues[] = {1.0, -1.0, 2.0, -2.0, 0.5, 3.0, 0.0, 1e-12, 0.25};
  std::vector<double> row(static_cast<std::size_t>(random.Int(0, 5)));
  for (double& value : row) value = kValues[random.Int(0, 8)];
  return row;
}

// The literal scan: (position, entry) of the pivot, or (-1, -1) when nothing scores above 0.0.
std::pair<int, int> LiteralScan(const std::vector<std::vector<double>>& rows) {
  double best = 0.0;
  std::pair<int, int> pivot(-1, -1);
  for (std::size_t p = 0; p < rows.size(); ++p) {
    const int m = static_cast<int>(rows[p].size());
    for (int e = 0; e < m; ++e) {
      const double score = PivotSearch::Score(rows[p][e], m);
      if (!(score > best)) continue;
      best = score;
      pivot = {static_cast<int>(p), e};
      if (score > 0.5 && m < 3) return pivot;
    }
  }
  return pivot;
}

// The row's best score and its first entry of that score (as the elimination keeps them).
double BestOf(const std::vector<double>& row, int& first) {
  double best = 0.0;
  first = -1;
  for (int e = 0; e < static_cast<int>(row.size()); ++e) {
    const double score = PivotSearch::Score(row[e], static_cast<int>(row.size()));
    if (score > best) {
      best = score;
      first = e;
    }
  }
  return best;
}

// The search's answer with its documented entry rule.
std::pair<int, int> Searched(const PivotSearch& search, const std::vector<std::vector<double>>& rows) {
  const int stop = search.StopPosition();
  if (stop != PivotSearch::kNone) {
    const auto& row = rows[static_cast<std::size_t>(stop)];
    const double threshold = search.StopThreshold(stop);
    for (int e = 0; e < static_cast<int>(row.size()); ++e)
      if (PivotSearch::Score(row[e], static_cast<int>(row.size())) > threshold) return {stop, e};
    ADD_FAILURE() << "no entry above the stop threshold";
  }
  const int best = search.BestPosition();
  if (best == PivotSearch::kNone) return {-1, -1};
  int first = -1;
  BestOf(rows[static_cast<std::size_t>(best)], first);
  return {best, first};
}

void Place(PivotSearch& search, const std::vector<double>& row, int position, bool update) {
  int first = -1;
  const double best = BestOf(row, first);
  if (update)
    search.Set(position, best, PivotSearch::IsShort(static_cast<int>(row.size())));
  else
    search.Place(position, best, PivotSearch::IsShort(static_cast<int>(row.size())));
}

}  // namespace

// Random rows built in bulk, then rows rewritten one at a time: the search picks the literal
// scan's pivot after every change.
TEST(PivotSearch, PicksTheLiteralScansPivot) {
  Random random(31);
  for (int round = 0; round < zrmtest::Scaled(300); ++round) {
    std::vector<std::vector<double>> rows(static_cast<std::size_t>(random.Int(1, 40)));
    for (auto& row : rows) row = DrawRow(random);
    PivotSearch search;
    search.Reset(static_cast<int>(rows.size()));
    for (std::size_t p = 0; p < rows.size(); ++p) Place(search, rows[p], static_cast<int>(p), false);
    search.Build();
    for (int change = 0; change < 30; ++change) {
      ASSERT_EQ(Searched(search, rows), LiteralScan(rows)) << "round " << round << ", change " << change;
      const int p = random.Int(0, static_cast<int>(rows.size()) - 1);
      rows[static_cast<std::size_t>(p)] = DrawRow(random);
      Place(search, rows[static_cast<std::size_t>(p)], p, true);
    }
  }
}
