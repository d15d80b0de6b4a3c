// Container benchmarks: ZRMUtMap<int, double> beside std::map<int, double> (insert, find,
// erase and in-order iteration of 10^6 random keys, bytes per item), ZRMUtVector<double>
// beside std::vector<double> (10^6 appends).
//
// Both sides of every pair run against the same allocator state: large blocks are kept in the
// heap instead of being mapped fresh for each allocation (glibc), so that first-touch page
// faults, which depend on the allocator's history in the run, do not swamp the container costs.
//
// Heap use is measured by counting the bytes requested through the global allocation
// operators, which this program replaces; bytes_per_item is the growth of live heap bytes
// while a container of kItems elements is built, divided by kItems.
//
//   cmake --preset bench -B build-bench && cmake --build build-bench --target bench_containers
//   build-bench/bench/bench_containers --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include "ZRMUtMap.h"
#include "ZRMUtVector.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <new>
#include <random>
#include <vector>

#if defined(__GLIBC__)
#  include <malloc.h>
#endif

// ---------------------------------------------------------------------------------------------
// Counting allocation operators: every block carries its size in a header.

namespace {

std::size_t gLiveBytes = 0;
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* CountedAllocate(std::size_t size) {
  void* block = std::malloc(size + kHeader);
  if (block == nullptr) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  gLiveBytes += size;
  return static_cast<char*>(block) + kHeader;
}

void CountedFree(void* pointer) noexcept {
  if (pointer == nullptr) return;
  void* block = static_cast<char*>(pointer) - kHeader;
  gLiveBytes -= *static_cast<std::size_t*>(block);
  std::free(block);
}

}  // namespace

namespace {

// Keeps large blocks in the heap and freed memory with the process (see the top of the file).
[[maybe_unused]] const bool gHeapSettled = [] {
#if defined(__GLIBC__)
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
  return true;
}();

}  // namespace

void* operator new(std::size_t size) { return CountedAllocate(size); }
void* operator new[](std::size_t size) { return CountedAllocate(size); }
void operator delete(void* pointer) noexcept { CountedFree(pointer); }
void operator delete[](void* pointer) noexcept { CountedFree(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { CountedFree(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { CountedFree(pointer); }

// ---------------------------------------------------------------------------------------------

namespace {

constexpr int kItems = 1000000;

// kItems distinct keys in a fixed random order.
const std::vector<int>& RandomKeys() {
  static const std::vector<int> keys = [] {
    std::vector<int> result(kItems);
    for (int index = 0; index < kItems; ++index)
      result[static_cast<std::size_t>(index)] =
          static_cast<int>((static_cast<std::uint32_t>(index) * 2654435761u) & 0x7fffffffu);
    std::shuffle(result.begin(), result.end(), std::mt19937(20261206));
    return result;
  }();
  return keys;
}

// The same keys in another fixed order (lookups and removals do not follow insertion order).
const std::vector<int>& ProbeKeys() {
  static const std::vector<int> keys = [] {
    std::vector<int> result = RandomKeys();
    std::shuffle(result.begin(), result.end(), std::mt19937(7));
    return result;
  }();
  return keys;
}

// Uniform access to the two maps.
struct ZRMMap {
  using Type = ZRMUtMap<int, double, ZRMUtLess<int>>;
  static double Find(const Type& map, int key) { return map.Find(key)->second; }
  static void Erase(Type& map, int key) { map.Erase(key); }
  static double Sum(const Type& map) {
    double sum = 0.0;
    for (Type::ConstIterator it = map.Begin(), end = map.End(); it != end; ++it) sum += it->second;
    return sum;
  }
};

struct StdMap {
  using Type = std::map<int, double>;
  static double Find(const Type& map, int key) { return map.find(key)->second; }
  static void Erase(Type& map, int key) { map.erase(key); }
  static double Sum(const Type& map) {
    double sum = 0.0;
    for (const auto& item : map) sum += item.second;
    return sum;
  }
};

template <class Map>
void Fill(typename Map::Type& map) {
  for (int key : RandomKeys()) map[key] = key * 0.5;
}

template <class Map>
void BM_MapInsert(benchmark::State& state) {
  benchmark::DoNotOptimize(RandomKeys().data());  // built before any heap is counted
  double bytesPerItem = 0.0;
  for (auto _ : state) {
    auto* map = new typename Map::Type();
    const std::size_t before = gLiveBytes;
    Fill<Map>(*map);
    bytesPerItem = static_cast<double>(gLiveBytes - before) / kItems;
    benchmark::DoNotOptimize(map);
    state.PauseTiming();
    delete map;
    state.ResumeTiming();
  }
  state.counters["bytes_per_item"] = bytesPerItem;
  state.SetItemsProcessed(state.iterations() * kItems);
}

template <class Map>
void BM_MapFind(benchmark::State& state) {
  typename Map::Type map;
  Fill<Map>(map);
  for (auto _ : state) {
    double sum = 0.0;
    for (int key : ProbeKeys()) sum += Map::Find(map, key);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kItems);
}

template <class Map>
void BM_MapErase(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto* map = new typename Map::Type();
    Fill<Map>(*map);
    state.ResumeTiming();
    for (int key : ProbeKeys()) Map::Erase(*map, key);
    benchmark::DoNotOptimize(map);
    state.PauseTiming();
    delete map;
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kItems);
}

template <class Map>
void BM_MapIterate(benchmark::State& state) {
  typename Map::Type map;
  Fill<Map>(map);
  for (auto _ : state) benchmark::DoNotOptimize(Map::Sum(map));
  state.SetItemsProcessed(state.iterations() * kItems);
}

void BM_ZRMVectorPushBack(benchmark::State& state) {
  for (auto _ : state) {
    ZRMUtVector<double> vector;
    for (int index = 0; index < kItems; ++index) vector.PushBack(index * 0.5);
    benchmark::DoNotOptimize(vector[kItems - 1]);
  }
  state.SetItemsProcessed(state.iterations() * kItems);
}

void BM_StdVectorPushBack(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<double> vector;
    for (int index = 0; index < kItems; ++index) vector.push_back(index * 0.5);
    benchmark::DoNotOptimize(vector[kItems - 1]);
  }
  state.SetItemsProcessed(state.iterations() * kItems);
}

BENCHMARK_TEMPLATE(BM_MapInsert, ZRMMap)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_MapInsert, StdMap)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_MapFind, ZRMMap)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_MapFind, StdMap)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_MapErase, ZRMMap)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_MapErase, StdMap)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_MapIterate, ZRMMap)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_MapIterate, StdMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZRMVectorPushBack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdVectorPushBack)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
