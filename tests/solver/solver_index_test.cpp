// The named-constraint index against a std::map model: ids in and out of its table, the row
// indices SetRhs reads, entries moved into the table as it grows, removal.
#include "SolverTestSupport.h"
#include "ZRMLSQSolverState.h"

#include <climits>
#include <deque>
#include <map>

namespace {

using solvertest::Random;

struct ModelEntry {
  ConstraintRecord* record;
  int logged;
  int row;  // -1: not numbered yet
};

// Every probe id agrees with the model: found exactly when present, with its record, log row
// and row index; RowInTable gives the row index (-1 before a numbering) for ids below 1024,
// which the table always covers, and for others the row index or a negative number.
void ExpectAgrees(NamedConstraintIndex& index, const std::map<int, ModelEntry>& model, const std::vector<int>& probes) {
  for (const int id : probes) {
    const auto expected = model.find(id);
    NamedConstraint* found = index.Find(id);
    const int inTable = index.RowInTable(id);
    if (expected == model.end()) {
      EXPECT_EQ(found, nullptr) << id;
      EXPECT_LT(inTable, 0) << id;
      continue;
    }
    ASSERT_NE(found, nullptr) << id;
    EXPECT_EQ(found->record, expected->second.record) << id;
    EXPECT_EQ(found->logged, expected->second.logged) << id;
    EXPECT_EQ(index.Row(id), expected->second.row) << id;
    const bool tableId = id >= 0 && id < 1024;
    if (tableId || inTable >= 0) {
      EXPECT_EQ(inTable, expected->second.row) << id;
    }
  }
  std::map<int, int> visited;  // logged -> row (log rows are distinct)
  index.ForEach([&visited](NamedConstraint& named, int row) { EXPECT_TRUE(visited.emplace(named.logged, row).second); });
  std::map<int, int> expectedVisits;
  for (const auto& [id, entry] : model) expectedVisits.emplace(entry.logged, entry.row);
  EXPECT_EQ(visited, expectedVisits);
}

}  // namespace

TEST(NamedConstraintIndex, AgreesWithAMapModel) {
  // Ids packed from 0 (the table), negative and far ones (the hash map), and large ids that the
  // table only covers once enough constraints are registered.
  const auto pick = [](Random& random) {
    switch (random.Int(0, 5)) {
      case 0: return random.Int(-50, -1);
      case 1: return random.Int(100000, 100100);
      case 2: return random.Int(1000, 3000);
      case 3: return random.Int(0, 1) == 0 ? INT_MIN + random.Int(0, 3) : INT_MAX - random.Int(0, 3);
      default: return random.Int(0, 400);
    }
  };
  for (std::uint64_t seed = 1; seed <= 6; ++seed) {
    Random random(seed);
    NamedConstraintIndex index;
    std::map<int, ModelEntry> model;
    std::deque<ConstraintRecord> records;
    std::vector<int> probes;
    int logged = 0;
    for (int step = 0; step < 3000; ++step) {
      const int id = pick(random);
      probes.push_back(id);
      const int action = random.Int(0, 9);
      if (action < 6 && model.count(id) == 0) {
        records.emplace_back();
        NamedConstraint& added = index.Add(id, &records.back());
        added.logged = logged;
        model[id] = {&records.back(), logged++, -1};
        int moved = 0;  // entries that lost their row when the table took them over
        for (const auto& [present, entry] : model) moved += index.Row(present) != entry.row ? 1 : 0;
        EXPECT_EQ(moved, 0) << "after adding " << id;
      } else if (action < 8 && !model.empty()) {
        // a numbering: every constraint gets a row, as Factor gives them
        int row = random.Int(0, 5);
        for (auto& [present, entry] : model) {
          entry.row = row;
          index.Row(present) = row;
          row += random.Int(1, 3);
        }
      } else if (model.count(id) != 0) {
        index.Remove(id);
        model.erase(id);
      }
      if (step % 100 == 99) ExpectAgrees(index, model, probes);
    }
    ExpectAgrees(index, model, probes);
  }
}
