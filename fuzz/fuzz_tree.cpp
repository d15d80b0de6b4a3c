// Differential fuzzer of the tree containers: ZRMUtMap<int, Element> (FuzzSupport.h: values that
// count themselves and whose copies fail on a budget) against std::map, or a ZRMUtSet
// of (index, value) pairs, as the solver sorts its sparse entries, against a std::map of value 0
// (ordered by ZRMUtLess, whose order of pairs containers_test checks). The first byte chooses the
// container and whether held iterators take the mutable or the read-only form.
//
// Beside the operations of every container (FuzzSupport.h), insertion (operator[],
// InsertOrGetAtEnd, Insert), Find, Count, Erase of a key or through an iterator, LowerBound,
// UpperBound, ++ and ForEach, with held iterators on a key, at the end, or detached. Every held
// iterator on a key is Find of the key. Lookups build no value, insertion one exactly when the key
// is absent; a failed value copy (insertion, copy, assignment) changes nothing. A use the rules
// refuse (a detached or end iterator dereferenced, advanced or erased through, another
// container's iterator erased through) raises InvalidIterator from its documented place and
// changes nothing; erasing detaches the iterators on the key, Clear and assignment those on
// elements, while end iterators stay.
#include "FuzzSupport.h"
#include "ZRMUtMap.h"
#include "ZRMUtSet.h"

#include <climits>
#include <map>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

struct MapTraits {
  using Container = ZRMUtMap<int, zrmfuzz::Element>;
  using Key = int;
  // Keys from a small range, so that operations meet each other's keys, and the extremes.
  static Key MakeKey(FuzzedDataProvider& input) {
    const int key = input.ConsumeIntegralInRange<int>(-6, 25);
    return key < 25 ? key : input.ConsumeBool() ? INT_MAX : INT_MIN;
  }
  static std::pair<Key, int> Read(const ZRMUtPair<int, zrmfuzz::Element>& item) { return {item.first, item.second}; }
};

struct SetTraits {
  using Container = ZRMUtSet<ZRMUtPair<int, double>>;
  using Key = ZRMUtPair<int, double>;
  static Key MakeKey(FuzzedDataProvider& input) {
    static const double kEntries[] = {-2.5, -1.0, 0.0, 0.5, 1.0, 3.0};
    const int index = input.ConsumeIntegralInRange<int>(-1, 4);
    return {index, kEntries[input.ConsumeIntegralInRange<int>(0, 5)]};
  }
  static std::pair<Key, int> Read(const Key& item) { return {item, 0}; }
};

template <class Traits, class It>
struct TreeFamily : Traits {  // Read: the entry of an item
  using Container = typename Traits::Container;
  using Key = typename Traits::Key;
  using Model = std::map<Key, int, ZRMUtLess<Key>>;
  // None: at the end. The keys have no NaN field, so == is their order's equality.
  using Pos = std::optional<Key>;
  using Held = zrmfuzz::Held<It, Pos>;
  using D = zrmfuzz::Driver<TreeFamily>;
  static constexpr bool kMap = std::is_same_v<Traits, MapTraits>;
  static constexpr bool kWrites = kMap && std::is_same_v<It, typename Container::Iterator>, kKeepsEnd = true,
                        kDetachedCompare = true, kCounted = kMap;
  static constexpr const char* kFile = "zrmutilities/protectedinterfaces/ZRMUtTree";
  static constexpr int kInvalidLine = 182, kOps = 6;

  static void Write(It& it, int value) { it->second = value; }  // instantiated only when kWrites
  // The model's value under the iterator, null unless on a key.
  static int* Value(D& d, const Held& h) { return !h.detached && h.pos ? &d.models[h.slot].at(*h.pos) : nullptr; }
  static std::pair<bool, Pos> Place(const D& d, int slot, bool end) {
    const Model& model = d.models[slot];
    return {false, end || model.empty() ? Pos() : Pos(model.begin()->first)};
  }
  void Copied(const D&, int) {}

  void Step(D& d, int op, int slot, int, int value) {
    FuzzedDataProvider& input = d.input;
    Container& container = *d.containers[slot];
    Model& model = d.models[slot];
    const Key key = Traits::MakeKey(input);
    const bool present = model.count(key) == 1;
    const int how = input.ConsumeIntegralInRange<int>(0, 3);
    switch (op) {
      case 0:  // maps: operator[] or InsertOrGetAtEnd (an absent key gets 0; a value may be written
               // through the reference), or Insert, which keeps a present value; sets: Insert
        if constexpr (kMap) {
          if (how < 2) {  // building one value exactly when absent
            const long built = zrmfuzz::Element::built;
            auto& stored = how == 0 ? container[key] : container.InsertOrGetAtEnd(key);
            ZRM_FUZZ_CHECK(stored == model[key] && zrmfuzz::Element::built == built + !present);
            if (value % 2 == 0) stored = model[key] = value;
            break;
          }
          ZRM_FUZZ_CHECK(container.Insert(key, value) != present);
        } else {
          ZRM_FUZZ_CHECK(container.Insert(key) != present);
        }
        model.emplace(key, kMap ? value : 0);
        break;
      case 1: {  // Find (mutable and read-only) and Count, which build no value; kept, or Erase of the key
        const long built = zrmfuzz::Element::built;
        const It found = container.Find(key);
        ZRM_FUZZ_CHECK((found == container.End()) != present && std::as_const(container).Find(key) == found);
        ZRM_FUZZ_CHECK(container.Count(key) == int{present} && zrmfuzz::Element::built == built);
        ZRM_FUZZ_CHECK(!present || Traits::Read(*found).second == model.at(key));
        if (how < 2) return d.Keep({found, false, slot, present ? Pos(key) : Pos()});
        ZRM_FUZZ_CHECK(container.Erase(key) == present && zrmfuzz::Element::built == built);
        Forget(d, slot, key);
        break;
      }
      case 2: {  // erase through a held iterator: refused unless live, on an element, of this container
        if (d.held.empty()) break;
        auto& held = d.Pick();
        const auto place = held;
        if (d.Expect([&] { container.Erase(held.it); }, Value(d, place) && place.slot == slot))
          Forget(d, slot, *place.pos);
        break;
      }
      case 3: {  // LowerBound or UpperBound
        const auto bound = how < 2 ? model.lower_bound(key) : model.upper_bound(key);
        d.Take(
            slot, [&](auto& c) -> It { return how < 2 ? c.LowerBound(key) : c.UpperBound(key); }, false,
            bound == model.end() ? Pos() : Pos(bound->first));
        break;
      }
      case 4: {  // ++ or postfix ++ (which gives the place before): refused at the end or detached
        if (d.held.empty()) break;
        auto& held = d.Pick();
        const It before = held.it;
        auto advance = [&] { how == 0 ? ZRM_FUZZ_CHECK(held.it++ == before) : static_cast<void>(++held.it); };
        if (!d.Expect(advance, Value(d, held))) return;
        const Model& owner = d.models[held.slot];
        const auto next = owner.upper_bound(*held.pos);
        held.pos = next == owner.end() ? Pos() : Pos(next->first);
        break;
      }
      default: {  // ForEach, mutable or read-only
        std::vector<typename D::Entry> visited;
        auto visit = [&](const auto& item) { visited.push_back(Traits::Read(item)); };
        how == 0 ? container.ForEach(visit) : std::as_const(container).ForEach(visit);
        ZRM_FUZZ_CHECK(visited == d.Contents(slot));
      }
    }
  }

  // The iterators on key of a container are detached.
  static void Forget(D& d, int slot, const Key& key) {
    if (d.models[slot].erase(key) == 1) d.DetachIf(slot, [&](const Held& h) { return h.pos == key; });
  }

  void CheckMore(D& d) const {
    for (const auto& h : d.held)
      if (Value(d, h))
        ZRM_FUZZ_CHECK(typename Container::ConstIterator(h.it) == std::as_const(*d.containers[h.slot]).Find(*h.pos));
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using Map = MapTraits::Container;
  return zrmfuzz::Fuzz<TreeFamily<MapTraits, Map::Iterator>, TreeFamily<MapTraits, Map::ConstIterator>,
                       TreeFamily<SetTraits, SetTraits::Container::Iterator>>(data, size);
}
