// Differential fuzzer of ZRMUtMap against std::map: int keys, or pair keys (ordered
// lexicographically), chosen by the first byte. See TreeHarness.h for what is checked.
#include "TreeHarness.h"
#include "ZRMUtMap.h"

#include <climits>
#include <map>

namespace {

// Keys from a small range, so that operations meet each other's keys, plus the extremes.
int SmallKey(FuzzedDataProvider& input) {
  const int key = input.ConsumeIntegralInRange<int>(-6, 25);
  if (key == 25) return input.ConsumeBool() ? INT_MAX : INT_MIN;
  return key;
}

struct IntKeys {
  using Container = ZRMUtMap<int, int>;
  using Model = std::map<int, int>;
  using Key = int;
  using ModelKey = int;
  static constexpr bool kHasValues = true;
  static Key MakeKey(FuzzedDataProvider& input) { return SmallKey(input); }
  static ModelKey ToModel(const Key& key) { return key; }
  static const Key& KeyOf(const ZRMUtPair<int, int>& item) { return item.first; }
};

struct PairKeys {
  using Container = ZRMUtMap<ZRMUtPair<int, int>, int>;
  using Model = std::map<std::pair<int, int>, int>;
  using Key = ZRMUtPair<int, int>;
  using ModelKey = std::pair<int, int>;
  static constexpr bool kHasValues = true;
  static Key MakeKey(FuzzedDataProvider& input) {
    const int first = input.ConsumeIntegralInRange<int>(-2, 3);
    return ZRMUtMakePair(first, SmallKey(input) % 5);
  }
  static ModelKey ToModel(const Key& key) { return {key.first, key.second}; }
  static const Key& KeyOf(const ZRMUtPair<Key, int>& item) { return item.first; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  if (input.ConsumeBool()) {
    zrmfuzz::TreeHarness<PairKeys> harness(input);
    harness.Run();
  } else {
    zrmfuzz::TreeHarness<IntKeys> harness(input);
    harness.Run();
  }
  return 0;
}
