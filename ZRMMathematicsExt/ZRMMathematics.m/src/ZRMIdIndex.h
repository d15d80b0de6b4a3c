// Internal: IdIndex, the map from integer ids to positions that the solver uses wherever it
// looks ids up (named constraints, variables, results).
#ifndef ZRMIdIndex_h
#define ZRMIdIndex_h

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <unordered_map>
#include <utility>
#include <vector>

// Positions (non-negative ints) by id. Our choice: ids from base up to a bound that grows with
// the number of ids held (4 * count + 1024 above base) are found by indexing a table; other ids
// (below base, or far above) sit in a hash map, and move into the table when it grows over them.
// Find is O(1); Insert amortised O(1). No operation invalidates anything but the positions
// returned by reference (Position), which Insert and Erase invalidate.
class IdIndex {
public:
  static constexpr int kAbsent = -1;

  // Makes it empty, its table covering ids base .. base + tableSize - 1 (storage kept).
  void Reset(int base, std::size_t tableSize = 0) {
    mBase = base;
    mCount = 0;
    mOthers.clear();
    mTable.assign(std::min(tableSize, TableRoom()), kAbsent);
  }

  // Our choice of the table's reach for count ids: 4 * count + 1024 ids above base.
  static std::size_t TableBound(std::size_t count) { return 4 * count + 1024; }

  std::size_t Size() const { return mCount; }

  // The position of id, or kAbsent.
  int Find(int id) const {
    const long long offset = Offset(id);
    if (offset >= 0 && offset < static_cast<long long>(mTable.size())) return mTable[static_cast<std::size_t>(offset)];
    if (mOthers.empty()) return kAbsent;
    const auto found = mOthers.find(id);
    return found != mOthers.end() ? found->second : kAbsent;
  }

  // The position of id (present), to read or change.
  int& Position(int id) {
    assert(Find(id) != kAbsent && "Position of an id the index does not hold");
    return InTable(id) ? mTable[static_cast<std::size_t>(Offset(id))] : mOthers.find(id)->second;
  }

  // Enters id (absent) at position (>= 0). On std::bad_alloc the index is unchanged.
  void Insert(int id, int position) {
    assert(position >= 0 && Find(id) == kAbsent && "Insert of an id already held, or of no position");
    const long long offset = Offset(id);
    const std::size_t bound = std::min(TableBound(mCount + 1), TableRoom());
    if (!InTable(id) && offset >= 0 && offset < static_cast<long long>(bound))
      Grow(std::min(bound, std::max(static_cast<std::size_t>(offset) + 1, 2 * mTable.size())));
    if (InTable(id))
      mTable[static_cast<std::size_t>(offset)] = position;
    else
      mOthers.emplace(id, position);
    ++mCount;
  }

  // Removes id (present).
  void Erase(int id) noexcept {
    assert(Find(id) != kAbsent && "Erase of an id the index does not hold");
    if (InTable(id))
      mTable[static_cast<std::size_t>(Offset(id))] = kAbsent;
    else
      mOthers.erase(id);
    --mCount;
  }

  // Enters every id that forEachId passes to the function it is given (an id may come more than
  // once); a new one at position 0. Our choice for bulk entry: ids in the table are marked
  // without a test, and the count is taken once at the end.
  template <class ForEachId>
  void EnterAll(ForEachId forEachId) {
    forEachId([this](int id) {
      if (InTable(id))
        mTable[static_cast<std::size_t>(Offset(id))] = 0;
      else if (Find(id) == kAbsent)
        Insert(id, 0);  // may grow the table over marked ids: it keeps them
    });
    mCount = mOthers.size() + static_cast<std::size_t>(std::count_if(mTable.begin(), mTable.end(),
                                                                     [](int position) { return position != kAbsent; }));
  }

  // Gives every id its rank in ascending order as its position; ids := the ids, ascending.
  void RankAscending(std::vector<int>& ids) {
    ids.clear();
    ids.reserve(mCount);
    ForEachAscending([&ids](int id, int) { ids.push_back(id); });
    for (std::size_t rank = 0; rank < ids.size(); ++rank) Position(ids[rank]) = static_cast<int>(rank);
  }

  // Calls visit(id, position) for every id, in ascending id order.
  template <class Visit>
  void ForEachAscending(Visit visit) const {
    std::vector<std::pair<int, int>> others(mOthers.begin(), mOthers.end());
    std::sort(others.begin(), others.end());
    auto other = others.begin();
    for (; other != others.end() && other->first < mBase; ++other) visit(other->first, other->second);
    for (std::size_t offset = 0; offset < mTable.size(); ++offset)
      if (mTable[offset] != kAbsent) visit(static_cast<int>(mBase + static_cast<long long>(offset)), mTable[offset]);
    for (; other != others.end(); ++other) visit(other->first, other->second);  // above the table
  }

private:
  long long Offset(int id) const { return static_cast<long long>(id) - mBase; }
  // Whether the table covers id (then id is held there or nowhere).
  bool InTable(int id) const { return Offset(id) >= 0 && Offset(id) < static_cast<long long>(mTable.size()); }
  // The number of ids from base up to the highest int.
  std::size_t TableRoom() const { return static_cast<std::size_t>(2147483647LL - mBase + 1); }

  // Makes the table size ids long and takes in the ids it now covers.
  void Grow(std::size_t size) {
    mTable.resize(size, kAbsent);  // may throw: nothing has changed then
    for (auto other = mOthers.begin(); other != mOthers.end();) {
      const long long offset = Offset(other->first);
      if (offset < 0 || offset >= static_cast<long long>(size)) {
        ++other;
        continue;
      }
      mTable[static_cast<std::size_t>(offset)] = other->second;
      other = mOthers.erase(other);
    }
  }

  int mBase = 0;
  std::size_t mCount = 0;                // ids held
  std::vector<int> mTable;               // id - base -> position, or kAbsent
  std::unordered_map<int, int> mOthers;  // the ids the table does not cover
};

#endif
