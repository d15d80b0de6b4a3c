// Differential fuzzer of ZRMUtSet against std::set: int keys, or (int, double) pairs as the
// solver sorts its sparse entries, chosen by the first byte. See TreeHarness.h for what is
// checked.
#include "TreeHarness.h"
#include "ZRMUtSet.h"

#include <climits>
#include <set>

namespace {

struct IntKeys {
  using Container = ZRMUtSet<int>;
  using Model = std::set<int>;
  using Key = int;
  using ModelKey = int;
  static constexpr bool kHasValues = false;
  static Key MakeKey(FuzzedDataProvider& input) {
    const int key = input.ConsumeIntegralInRange<int>(-6, 25);
    if (key == 25) return input.ConsumeBool() ? INT_MAX : INT_MIN;
    return key;
  }
  static ModelKey ToModel(const Key& key) { return key; }
  static const Key& KeyOf(const Key& item) { return item; }
};

// Index and value, as in a sparse vector; values from a few exact doubles.
struct EntryKeys {
  using Container = ZRMUtSet<ZRMUtPair<int, double>>;
  using Model = std::set<std::pair<int, double>>;
  using Key = ZRMUtPair<int, double>;
  using ModelKey = std::pair<int, double>;
  static constexpr bool kHasValues = false;
  static Key MakeKey(FuzzedDataProvider& input) {
    static const double kValues[] = {-2.5, -1.0, 0.0, 0.5, 1.0, 3.0};
    const int index = input.ConsumeIntegralInRange<int>(-1, 4);
    return ZRMUtMakePair(index, kValues[input.ConsumeIntegralInRange<int>(0, 5)]);
  }
  static ModelKey ToModel(const Key& key) { return {key.first, key.second}; }
  static const Key& KeyOf(const Key& item) { return item; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  if (input.ConsumeBool()) {
    zrmfuzz::TreeHarness<EntryKeys> harness(input);
    harness.Run();
  } else {
    zrmfuzz::TreeHarness<IntKeys> harness(input);
    harness.Run();
  }
  return 0;
}
