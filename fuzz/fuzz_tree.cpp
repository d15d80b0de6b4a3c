// Differential fuzzer of the tree containers: ZRMUtMap<int, int> against std::map, or a ZRMUtSet
// of (index, value) pairs, as the solver sorts its sparse entries, against a std::map of value 0
// (ordered by ZRMUtLess, whose order of pairs containers_test checks). The first byte chooses the
// container and whether held iterators take the mutable or the read-only form.
//
// Two containers and their models receive the decoded operations, beside held iterators whose
// place a model of the detaching rules predicts: on a key, at the end, or detached. After every
// operation the sizes, the contents and the containers' own invariant checks agree with the
// models, and every held iterator stands where predicted. A use the rules refuse (a detached or
// end iterator dereferenced, advanced or erased through, another container's iterator erased
// through) raises InvalidIterator from its documented place and changes nothing.
#include "FuzzSupport.h"
#include "ZRMUtMap.h"
#include "ZRMUtSet.h"

#include <climits>
#include <map>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

struct MapTraits {
  using Container = ZRMUtMap<int, int>;
  using Key = int;
  // Keys from a small range, so that operations meet each other's keys, and the extremes.
  static Key MakeKey(FuzzedDataProvider& input) {
    const int key = input.ConsumeIntegralInRange<int>(-6, 25);
    return key < 25 ? key : input.ConsumeBool() ? INT_MAX : INT_MIN;
  }
  static std::pair<Key, int> Entry(const ZRMUtPair<int, int>& item) { return {item.first, item.second}; }
};

struct SetTraits {
  using Container = ZRMUtSet<ZRMUtPair<int, double>>;
  using Key = ZRMUtPair<int, double>;
  static Key MakeKey(FuzzedDataProvider& input) {
    static const double kEntries[] = {-2.5, -1.0, 0.0, 0.5, 1.0, 3.0};
    const int index = input.ConsumeIntegralInRange<int>(-1, 4);
    return {index, kEntries[input.ConsumeIntegralInRange<int>(0, 5)]};
  }
  static std::pair<Key, int> Entry(const Key& item) { return {item, 0}; }
};

template <class Traits, class Iterator>
class TreeHarness {
  using Container = typename Traits::Container;
  using Key = typename Traits::Key;
  using Model = std::map<Key, int, ZRMUtLess<Key>>;
  using Contents = std::vector<std::pair<Key, int>>;
  static constexpr bool kMap = std::is_same_v<Traits, MapTraits>;
  static constexpr bool kWrites = kMap && std::is_same_v<Iterator, typename Container::Iterator>;
  enum Where { kOnKey, kAtEnd, kDetached };
  struct Place {
    Where where;
    int slot;
    Key key;
  };
  using Pool = zrmfuzz::HeldIterators<Iterator, Place>;

public:
  explicit TreeHarness(FuzzedDataProvider& input) : mInput(input) {
    for (auto& container : mContainers) container = std::make_unique<Container>();
  }

  void Run() {
    while (mInput.remaining_bytes() > 0) {
      Step();
      Check();
    }
    for (const auto& held : mHeld.pool) Probe(held);
  }

private:
  void Step() {
    const int slot = mInput.ConsumeIntegralInRange<int>(0, 1), other = mInput.ConsumeIntegralInRange<int>(0, 1);
    Container& container = *mContainers[slot];
    Model& model = mModels[slot];
    const Key key = Traits::MakeKey(mInput);
    const bool present = model.count(key) == 1;
    const int value = mInput.ConsumeIntegral<int>(), how = mInput.ConsumeIntegralInRange<int>(0, 4);
    switch (mInput.ConsumeIntegralInRange<int>(0, 10)) {
      case 0:
      case 1:  // maps: operator[] or InsertOrGetAtEnd (an absent key gets 0; a value may be written
               // through the reference), or Insert, which keeps a present value; sets: Insert
        if constexpr (kMap) {
          if (how < 2) {
            int& stored = how == 0 ? container[key] : container.InsertOrGetAtEnd(key);
            ZRM_FUZZ_CHECK(stored == model[key]);
            if (value % 2 == 0) stored = model[key] = value;
            break;
          }
          ZRM_FUZZ_CHECK(container.Insert(key, value) != present);
        } else {
          ZRM_FUZZ_CHECK(container.Insert(key) != present);
        }
        model.emplace(key, kMap ? value : 0);
        break;
      case 2: {  // Find (mutable and read-only), Count; Erase of the key
        const Iterator found = container.Find(key);
        ZRM_FUZZ_CHECK((found == container.End()) != present && std::as_const(container).Find(key) == found);
        ZRM_FUZZ_CHECK(container.Count(key) == int{present});
        ZRM_FUZZ_CHECK(!present || Traits::Entry(*found).second == model.at(key));
        if (how < 3) return mHeld.Keep({found, {present ? kOnKey : kAtEnd, slot, key}});
        ZRM_FUZZ_CHECK(container.Erase(key) == present);
        Forget(slot, key);
        break;
      }
      case 3: {  // erase through a held iterator: refused unless live, on an element, of this container
        if (mHeld.pool.empty()) break;
        auto& held = mHeld.Pick(mInput);
        const Place place = held.place;
        if (Expect([&] { container.Erase(held.it); }, place.where == kOnKey && place.slot == slot))
          Forget(slot, place.key);
        break;
      }
      case 4:  // Clear or assignment from the other container detach the iterators on elements and
               // keep the end iterators; self-assignment changes nothing
        if (how == 0 || other != slot) {
          how == 0 ? container.Clear() : static_cast<void>(container = std::as_const(*mContainers[other]));
          model = how == 0 ? Model() : mModels[other];
          Detach(slot, nullptr);
        } else {
          container = std::as_const(container);
        }
        break;
      case 5:  // a copy of either container replaces this one: every iterator on it is detached
        mContainers[slot] = std::make_unique<Container>(*mContainers[other]);
        model = Model(mModels[other]);
        for (auto& held : mHeld.pool)
          if (held.place.slot == slot) held.place.where = kDetached;
        break;
      case 6: {  // Begin, End, LowerBound, UpperBound (of the mutable or the read-only container)
                 // or an unbound iterator
        const auto expected = how == 0   ? model.begin()
                              : how == 2 ? model.lower_bound(key)
                              : how == 3 ? model.upper_bound(key)
                                         : model.end();
        auto take = [&](auto& c) -> Iterator {
          return how == 0 ? c.Begin() : how == 2 ? c.LowerBound(key) : how == 3 ? c.UpperBound(key) : c.End();
        };
        const Where where = how == 4 ? kDetached : expected == model.end() ? kAtEnd : kOnKey;
        Iterator it = how == 4 ? Iterator() : take(container);
        if constexpr (!kWrites) {  // the read-only container's answer
          if (how < 4 && value % 2 == 0) it = take(std::as_const(container));
        }
        mHeld.Keep({it, {where, slot, where == kOnKey ? expected->first : key}});
        break;
      }
      case 7: mHeld.DropCopyOrAssign(mInput); break;
      case 8: {  // ++ or postfix ++ (which gives the place before): refused at the end or detached
        if (mHeld.pool.empty()) break;
        auto& held = mHeld.Pick(mInput);
        const Iterator before = held.it;
        auto advance = [&] { how == 0 ? ZRM_FUZZ_CHECK(held.it++ == before) : static_cast<void>(++held.it); };
        if (!Expect(advance, held.place.where == kOnKey)) return;
        const Model& owner = mModels[held.place.slot];
        const auto next = owner.upper_bound(held.place.key);
        held.place.where = next == owner.end() ? kAtEnd : kOnKey;
        if (next != owner.end()) held.place.key = next->first;
        break;
      }
      case 9:  // maps: a value written through a mutable iterator on an element is found after
        if constexpr (kWrites) {
          if (mHeld.pool.empty()) break;
          auto& held = mHeld.Pick(mInput);
          if (Expect([&] { held.it->second = value; }, held.place.where == kOnKey))
            mModels[held.place.slot][held.place.key] = value;
        }
        break;
      default: {  // ForEach (mutable or read-only), a read-only walk with postfix steps; a probe
        Contents visited, walked;
        auto visit = [&](const auto& item) { visited.push_back(Traits::Entry(item)); };
        how == 0 ? container.ForEach(visit) : std::as_const(container).ForEach(visit);
        const Container& readOnly = container;
        for (auto it = readOnly.Begin(); it != readOnly.End() && walked.size() <= model.size(); it++)
          walked.push_back(Traits::Entry(*it));
        ZRM_FUZZ_CHECK(visited == Contents(model.begin(), model.end()) && walked == visited);
        if (!mHeld.pool.empty()) Probe(mHeld.Pick(mInput));
      }
    }
  }

  void Check() {
    for (int slot = 0; slot < 2; ++slot) {
      Container& container = *mContainers[slot];
      if (const char* fault = container.FindInvariantViolation()) zrmfuzz::Fail(__FILE__, __LINE__, fault);
      Contents walked;
      for (auto it = container.Begin(); it != container.End() && walked.size() <= mModels[slot].size(); ++it)
        walked.push_back(Traits::Entry(*it));
      ZRM_FUZZ_CHECK(container.Size() == int(walked.size()) &&
                     walked == Contents(mModels[slot].begin(), mModels[slot].end()));
    }
    for (const auto& a : mHeld.pool) {
      const Place& p = a.place;
      const typename Container::ConstIterator readOnly = a.it;
      if (p.where == kOnKey)  // that element, equal to Find of the key
        ZRM_FUZZ_CHECK(Traits::Entry(*a.it).second == mModels[p.slot].at(p.key) &&
                       readOnly == mContainers[p.slot]->Find(p.key));
      for (int slot = 0; slot < 2; ++slot)
        ZRM_FUZZ_CHECK((a.it == std::as_const(*mContainers[slot]).End()) == (p.where == kAtEnd && p.slot == slot));
      for (const auto& b : mHeld.pool) {  // equal exactly at the same key or end, or both detached
        const Place& q = b.place;
        const bool same = p.where == q.where &&
                          (p.where == kDetached || (p.slot == q.slot && (p.where == kAtEnd || Same(p.key, q.key))));
        ZRM_FUZZ_CHECK((a.it == b.it) == same && (a.it != b.it) != same);
      }
    }
  }

  // * and -> and ++ (of a copy): refused at the end or detached, where the copy stays put.
  void Probe(const typename Pool::Held& held) {
    Iterator copy = held.it;
    const bool onKey = held.place.where == kOnKey;
    Expect([&] { static_cast<void>(*held.it); }, onKey);
    Expect([&] { static_cast<void>(held.it.operator->()); }, onKey);
    if (onKey) return;
    Expect([&] { ++copy; }, false);
    ZRM_FUZZ_CHECK(copy == held.it);
  }

  // The call raises nothing when valid, otherwise InvalidIterator from its documented place.
  template <class Call>
  static bool Expect(Call&& call, bool valid) {
    return zrmfuzz::CheckCall(call, valid ? 0u : static_cast<unsigned int>(ZRMUtError::InvalidIterator),
                              "zrmutilities/protectedinterfaces/ZRMUtTree", 182);
  }
  static bool Same(const Key& a, const Key& b) { return ZRMUtLess<Key>::Compare(a, b) == 0; }

  // The iterators on key (any key when null) of a container are detached.
  void Detach(int slot, const Key* key) {
    for (auto& held : mHeld.pool)
      if (held.place.where == kOnKey && held.place.slot == slot && (!key || Same(held.place.key, *key)))
        held.place.where = kDetached;
  }
  void Forget(int slot, const Key& key) {
    if (mModels[slot].erase(key) == 1) Detach(slot, &key);
  }

  FuzzedDataProvider& mInput;
  std::unique_ptr<Container> mContainers[2];
  Model mModels[2];
  Pool mHeld;  // destroyed before the containers
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  using Map = MapTraits::Container;
  switch (input.ConsumeIntegralInRange<int>(0, 2)) {
    case 0: TreeHarness<MapTraits, Map::Iterator>(input).Run(); break;
    case 1: TreeHarness<MapTraits, Map::ConstIterator>(input).Run(); break;
    default: TreeHarness<SetTraits, SetTraits::Container::Iterator>(input).Run(); break;
  }
  return 0;
}
