// Differential harness of the tree containers (ZRMUtMap, ZRMUtSet) against std::map / std::set.
//
// Two containers (slots 0 and 1) and their models receive the operations decoded from the
// input; a pool of live iterators follows every operation. After each operation the harness
// checks that sizes, return values and forward traversals agree with the models, that every
// pooled iterator stands where the model says, and that both containers pass their own
// invariant check. That an iterator the model calls detached or at the end raises
// InvalidIterator is checked when an operation uses it, by the probe operation, and for the
// whole pool at the end of the input (raising costs more than the other checks together).
//
// The Traits parameter names the container, its key and the model:
//   Container, Model, Key, ModelKey, static constexpr bool kHasValues,
//   static Key MakeKey(FuzzedDataProvider&), static ModelKey ToModel(const Key&),
//   static const Key& KeyOf(const Item&).
#ifndef TreeHarness_h
#define TreeHarness_h

#include "FuzzSupport.h"
#include "ZRMUtError.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <memory>
#include <utility>
#include <vector>

namespace zrmfuzz {

constexpr const char* kTreeFile = "zrmutilities/protectedinterfaces/ZRMUtTree";
constexpr int kTreeLine = 182;

template <class Traits>
class TreeHarness {
  using Container = typename Traits::Container;
  using Model = typename Traits::Model;
  using Key = typename Traits::Key;
  using ModelKey = typename Traits::ModelKey;
  using Iterator = typename Container::Iterator;
  using ConstIterator = typename Container::ConstIterator;
  static constexpr int kSlots = 2;
  static constexpr std::size_t kPoolLimit = 10;

  // Where the model says a pooled iterator stands.
  enum class Where { OnKey, AtEnd, Detached };

  // One pooled iterator, in its mutable or its read-only form, and where it should stand.
  struct Pooled {
    std::unique_ptr<Iterator> mutableForm;
    std::unique_ptr<ConstIterator> constForm;
    Where where = Where::Detached;
    int slot = 0;
    ModelKey key{};
  };

public:
  explicit TreeHarness(FuzzedDataProvider& input) : mInput(input) {
    for (auto& container : mContainers) container.reset(new Container());
  }

  // Applies operations until the input runs out, checking everything after each one.
  void Run() {
    while (mInput.remaining_bytes() > 0) {
      Step();
      CheckAll();
    }
    for (const Pooled& pooled : mPool) ProbePooled(pooled);
    mPool.clear();
    for (auto& container : mContainers) container.reset();
  }

private:
  // Decodes and applies one operation.
  void Step() {
    const int slot = mInput.ConsumeIntegralInRange<int>(0, kSlots - 1);
    switch (mInput.ConsumeIntegralInRange<int>(0, 20)) {
      case 0: InsertOrGet(slot); break;
      case 1: Insert(slot); break;
      case 2: Find(slot); break;
      case 3: Count(slot); break;
      case 4: EraseKey(slot); break;
      case 5: EraseAtPooled(slot); break;
      case 6: Clear(slot); break;
      case 7: CopyConstruct(slot); break;
      case 8: Assign(slot); break;
      case 9: SelfAssign(slot); break;
      case 10: PoolBegin(slot); break;
      case 11: PoolEnd(slot); break;
      case 12: PoolCopy(); break;
      case 13: PoolAssign(); break;
      case 14: PoolAdvance(); break;
      case 15: PoolDrop(); break;
      case 16: PoolBound(slot); break;
      case 17: PoolDetached(); break;
      case 18: WriteThroughPooled(); break;
      case 19:
        if (!mPool.empty()) ProbePooled(PickPooled());
        break;
      default: ConstTraversal(slot); break;
    }
  }

  // operator[] or InsertOrGetAtEnd (maps; sets insert): reads or writes the value under a key.
  void InsertOrGet(int slot) {
    const Key key = Traits::MakeKey(mInput);
    const ModelKey modelKey = Traits::ToModel(key);
    if constexpr (Traits::kHasValues) {
      const bool write = mInput.ConsumeBool();
      const int value = mInput.ConsumeIntegral<int>();
      auto& stored = mInput.ConsumeBool() ? mContainers[slot]->InsertOrGetAtEnd(key) : (*mContainers[slot])[key];
      auto& expected = mModels[slot][modelKey];
      ZRM_FUZZ_CHECK(stored == expected);
      if (write) stored = expected = value;
    } else {
      ZRM_FUZZ_CHECK(mContainers[slot]->Insert(key) == mModels[slot].insert(modelKey).second);
    }
  }

  void Insert(int slot) {
    const Key key = Traits::MakeKey(mInput);
    const ModelKey modelKey = Traits::ToModel(key);
    if constexpr (Traits::kHasValues) {
      const int value = mInput.ConsumeIntegral<int>();
      ZRM_FUZZ_CHECK(mContainers[slot]->Insert(key, value) == mModels[slot].emplace(modelKey, value).second);
    } else {
      ZRM_FUZZ_CHECK(mContainers[slot]->Insert(key) == mModels[slot].insert(modelKey).second);
    }
  }

  // Find: End exactly for absent keys; otherwise the item. Sometimes pooled.
  void Find(int slot) {
    const Key key = Traits::MakeKey(mInput);
    const ModelKey modelKey = Traits::ToModel(key);
    const bool present = mModels[slot].count(modelKey) == 1;
    Iterator found = mContainers[slot]->Find(key);
    ZRM_FUZZ_CHECK((found == mContainers[slot]->End()) == !present);
    if (present) ZRM_FUZZ_CHECK(ItemMatches(*found, slot, modelKey));
    const Container& readOnly = *mContainers[slot];
    ZRM_FUZZ_CHECK(readOnly.Find(key) == found);
    if (mInput.ConsumeBool()) {
      Pooled pooled;
      pooled.mutableForm.reset(new Iterator(found));
      pooled.where = present ? Where::OnKey : Where::AtEnd;
      pooled.slot = slot;
      pooled.key = modelKey;
      AddToPool(std::move(pooled));
    }
  }

  void Count(int slot) {
    const Key key = Traits::MakeKey(mInput);
    ZRM_FUZZ_CHECK(mContainers[slot]->Count(key) == static_cast<int>(mModels[slot].count(Traits::ToModel(key))));
  }

  void EraseKey(int slot) {
    const Key key = Traits::MakeKey(mInput);
    const ModelKey modelKey = Traits::ToModel(key);
    const bool present = mModels[slot].count(modelKey) == 1;
    ZRM_FUZZ_CHECK(mContainers[slot]->Erase(key) == present);
    if (present) ForgetKey(slot, modelKey);
  }

  // Erase through a pooled iterator: only a live iterator of this container on an element may
  // be used; anything else raises InvalidIterator and changes nothing.
  void EraseAtPooled(int slot) {
    if (mPool.empty()) return;
    Pooled& pooled = PickPooled();
    const bool valid = pooled.where == Where::OnKey && pooled.slot == slot;
    Container& container = *mContainers[slot];
    auto erase = [&] {
      if (pooled.mutableForm)
        container.Erase(*pooled.mutableForm);
      else
        container.Erase(*pooled.constForm);
    };
    if (!valid) {
      ZRM_FUZZ_CHECK(RaisesError(erase, ZRMUtError::InvalidIterator, kTreeFile, kTreeLine));
      return;
    }
    const ModelKey key = pooled.key;
    ZRM_FUZZ_CHECK(RaisesNothing(erase));
    ForgetKey(slot, key);
  }

  void Clear(int slot) {
    mContainers[slot]->Clear();
    mModels[slot].clear();
    DetachOnElements(slot);
  }

  // Replaces one container by a copy of a container (possibly itself): the old one is
  // destroyed, and every iterator on it is detached, its end iterators included.
  void CopyConstruct(int slot) {
    const int source = mInput.ConsumeIntegralInRange<int>(0, kSlots - 1);
    std::unique_ptr<Container> copy(new Container(*mContainers[source]));
    Model model = mModels[source];
    mContainers[slot] = std::move(copy);
    mModels[slot] = std::move(model);
    for (Pooled& pooled : mPool)
      if (pooled.slot == slot) pooled.where = Where::Detached;
  }

  // Assignment from the other container: iterators on elements are detached, end iterators
  // stay.
  void Assign(int slot) {
    const int source = 1 - slot;
    *mContainers[slot] = *mContainers[source];
    mModels[slot] = mModels[source];
    DetachOnElements(slot);
  }

  // Self-assignment changes nothing and detaches nothing.
  void SelfAssign(int slot) {
    Container& container = *mContainers[slot];
    const Container& alias = container;
    container = alias;
  }

  void PoolBegin(int slot) {
    Pooled pooled;
    pooled.slot = slot;
    if (mInput.ConsumeBool())
      pooled.mutableForm.reset(new Iterator(mContainers[slot]->Begin()));
    else
      pooled.constForm.reset(new ConstIterator(static_cast<const Container&>(*mContainers[slot]).Begin()));
    const Model& model = mModels[slot];
    pooled.where = model.empty() ? Where::AtEnd : Where::OnKey;
    if (!model.empty()) pooled.key = ModelKeyOf(model.begin());
    AddToPool(std::move(pooled));
  }

  void PoolEnd(int slot) {
    Pooled pooled;
    pooled.slot = slot;
    pooled.where = Where::AtEnd;
    if (mInput.ConsumeBool())
      pooled.mutableForm.reset(new Iterator(mContainers[slot]->End()));
    else
      pooled.constForm.reset(new ConstIterator(static_cast<const Container&>(*mContainers[slot]).End()));
    AddToPool(std::move(pooled));
  }

  // LowerBound or UpperBound of a key, compared with the model's.
  void PoolBound(int slot) {
    const Key key = Traits::MakeKey(mInput);
    const ModelKey modelKey = Traits::ToModel(key);
    const bool lower = mInput.ConsumeBool();
    const Model& model = mModels[slot];
    const auto expected = lower ? model.lower_bound(modelKey) : model.upper_bound(modelKey);
    Pooled pooled;
    pooled.slot = slot;
    pooled.where = expected == model.end() ? Where::AtEnd : Where::OnKey;
    if (expected != model.end()) pooled.key = ModelKeyOf(expected);
    const Container& readOnly = *mContainers[slot];
    pooled.constForm.reset(new ConstIterator(lower ? readOnly.LowerBound(key) : readOnly.UpperBound(key)));
    AddToPool(std::move(pooled));
  }

  void PoolDetached() {
    Pooled pooled;
    pooled.where = Where::Detached;
    pooled.constForm.reset(new ConstIterator());
    AddToPool(std::move(pooled));
  }

  // A copy of a pooled iterator stands where the original stands (the read-only form may be
  // built from the mutable one).
  void PoolCopy() {
    if (mPool.empty()) return;
    const Pooled& original = PickPooled();
    Pooled copy;
    copy.where = original.where;
    copy.slot = original.slot;
    copy.key = original.key;
    if (original.mutableForm && mInput.ConsumeBool())
      copy.mutableForm.reset(new Iterator(*original.mutableForm));
    else if (original.mutableForm)
      copy.constForm.reset(new ConstIterator(*original.mutableForm));
    else
      copy.constForm.reset(new ConstIterator(*original.constForm));
    AddToPool(std::move(copy));
  }

  // Iterator assignment (same form, or read-only from mutable), self-assignment included.
  void PoolAssign() {
    if (mPool.empty()) return;
    Pooled& target = PickPooled();
    const Pooled& source = PickPooled();
    if (target.mutableForm && source.mutableForm) {
      *target.mutableForm = *source.mutableForm;
    } else if (target.constForm) {
      if (source.mutableForm)
        *target.constForm = *source.mutableForm;
      else
        *target.constForm = *source.constForm;
    } else {
      return;  // no read-only to mutable assignment
    }
    target.where = source.where;
    target.slot = source.slot;
    target.key = source.key;
  }

  // Advancing moves to the next key or to the end; at the end or detached it raises
  // InvalidIterator and the iterator stays where it was.
  void PoolAdvance() {
    if (mPool.empty()) return;
    Pooled& pooled = PickPooled();
    const bool postfix = mInput.ConsumeBool();
    auto advance = [&] {
      if (pooled.mutableForm)
        postfix ? static_cast<void>((*pooled.mutableForm)++) : static_cast<void>(++*pooled.mutableForm);
      else
        postfix ? static_cast<void>((*pooled.constForm)++) : static_cast<void>(++*pooled.constForm);
    };
    if (pooled.where != Where::OnKey) {
      ZRM_FUZZ_CHECK(RaisesError(advance, ZRMUtError::InvalidIterator, kTreeFile, kTreeLine));
      return;
    }
    ZRM_FUZZ_CHECK(RaisesNothing(advance));
    const Model& model = mModels[pooled.slot];
    auto next = model.upper_bound(pooled.key);
    if (next == model.end()) {
      pooled.where = Where::AtEnd;
    } else {
      pooled.key = ModelKeyOf(next);
    }
  }

  void PoolDrop() {
    if (mPool.empty()) return;
    const std::size_t index = mInput.ConsumeIntegralInRange<std::size_t>(0, mPool.size() - 1);
    mPool.erase(mPool.begin() + static_cast<std::ptrdiff_t>(index));
  }

  // Maps: a value written through a live mutable iterator is the value found afterwards.
  void WriteThroughPooled() {
    if constexpr (Traits::kHasValues) {
      if (mPool.empty()) return;
      Pooled& pooled = PickPooled();
      const int value = mInput.ConsumeIntegral<int>();
      if (!pooled.mutableForm) return;
      auto write = [&] { (*pooled.mutableForm)->second = value; };
      if (pooled.where != Where::OnKey) {
        ZRM_FUZZ_CHECK(RaisesError(write, ZRMUtError::InvalidIterator, kTreeFile, kTreeLine));
        return;
      }
      ZRM_FUZZ_CHECK(RaisesNothing(write));
      mModels[pooled.slot][pooled.key] = value;
    }
  }

  // Forward traversal through the read-only interface, with postfix increments.
  void ConstTraversal(int slot) {
    const Container& container = *mContainers[slot];
    auto expected = mModels[slot].begin();
    if (mInput.ConsumeBool()) {  // ForEach, which builds no iterator
      container.ForEach([&](const auto& item) {
        ZRM_FUZZ_CHECK(expected != mModels[slot].end());
        ZRM_FUZZ_CHECK(Traits::ToModel(Traits::KeyOf(item)) == ModelKeyOf(expected));
        ++expected;
      });
    } else {
      for (ConstIterator it = container.Begin(); it != container.End(); it++, ++expected) {
        ZRM_FUZZ_CHECK(expected != mModels[slot].end());
        ZRM_FUZZ_CHECK(Traits::ToModel(Traits::KeyOf(*it)) == ModelKeyOf(expected));
      }
    }
    ZRM_FUZZ_CHECK(expected == mModels[slot].end());
  }

  // --- checks ---------------------------------------------------------------------------

  void CheckAll() {
    for (int slot = 0; slot < kSlots; ++slot) CheckContainer(slot);
    for (const Pooled& pooled : mPool) CheckPooled(pooled);
    for (std::size_t a = 0; a < mPool.size(); ++a)
      for (std::size_t b = a; b < mPool.size(); ++b) CheckEquality(mPool[a], mPool[b]);
  }

  // Size, invariant check and forward traversal against the model.
  void CheckContainer(int slot) {
    Container& container = *mContainers[slot];
    const Model& model = mModels[slot];
    ZRM_FUZZ_CHECK(container.Size() == static_cast<int>(model.size()));
    if (const char* fault = container.FindInvariantViolation()) Fail(__FILE__, __LINE__, fault);
    auto expected = model.begin();
    for (Iterator it = container.Begin(); it != container.End(); ++it, ++expected) {
      ZRM_FUZZ_CHECK(expected != model.end());
      ZRM_FUZZ_CHECK(Traits::ToModel(Traits::KeyOf(*it)) == ModelKeyOf(expected));
      ZRM_FUZZ_CHECK(ItemMatches(*it, slot, ModelKeyOf(expected)));
    }
    ZRM_FUZZ_CHECK(expected == model.end());
  }

  // A pooled iterator gives its element, equals End, or raises InvalidIterator when
  // dereferenced, as the model says.
  void CheckPooled(const Pooled& pooled) {
    if (pooled.mutableForm)
      CheckPosition(*pooled.mutableForm, pooled);
    else
      CheckPosition(*pooled.constForm, pooled);
  }

  template <class AnyIterator>
  void CheckPosition(const AnyIterator& it, const Pooled& pooled) {
    if (pooled.where == Where::OnKey) {
      ZRM_FUZZ_CHECK(Traits::ToModel(Traits::KeyOf(*it)) == pooled.key);
      ZRM_FUZZ_CHECK(ItemMatches(*it, pooled.slot, pooled.key));
      const Container& container = *mContainers[pooled.slot];
      ZRM_FUZZ_CHECK(it == container.Find(Traits::KeyOf(*it)));
      return;
    }
    for (int slot = 0; slot < kSlots; ++slot) {
      const bool atThisEnd = pooled.where == Where::AtEnd && pooled.slot == slot;
      ZRM_FUZZ_CHECK((it == mContainers[slot]->End()) == atThisEnd);
    }
  }

  // An iterator at the end or detached raises InvalidIterator when dereferenced or advanced,
  // and stays where it was.
  void ProbePooled(const Pooled& pooled) {
    if (pooled.mutableForm)
      ProbePosition(*pooled.mutableForm, pooled);
    else
      ProbePosition(*pooled.constForm, pooled);
  }

  template <class AnyIterator>
  void ProbePosition(const AnyIterator& it, const Pooled& pooled) {
    if (pooled.where == Where::OnKey) return;
    ZRM_FUZZ_CHECK(RaisesError([&] { static_cast<void>(*it); }, ZRMUtError::InvalidIterator, kTreeFile, kTreeLine));
    ZRM_FUZZ_CHECK(
        RaisesError([&] { static_cast<void>(it.operator->()); }, ZRMUtError::InvalidIterator, kTreeFile, kTreeLine));
    AnyIterator copy(it);  // advancing a copy leaves the pooled one as it is
    ZRM_FUZZ_CHECK(RaisesError([&] { ++copy; }, ZRMUtError::InvalidIterator, kTreeFile, kTreeLine));
    ZRM_FUZZ_CHECK(copy == it);
  }

  // Two pooled iterators are equal exactly when the model puts them at the same place
  // (detached iterators all stand on no tree, so they are equal to each other).
  void CheckEquality(const Pooled& a, const Pooled& b) {
    bool expected = a.where == b.where;
    if (expected && a.where != Where::Detached) expected = a.slot == b.slot;
    if (expected && a.where == Where::OnKey) expected = a.key == b.key;
    bool actual;
    if (a.mutableForm)
      actual = b.mutableForm ? *a.mutableForm == *b.mutableForm : *a.mutableForm == *b.constForm;
    else
      actual = b.mutableForm ? *a.constForm == *b.mutableForm : *a.constForm == *b.constForm;
    ZRM_FUZZ_CHECK(actual == expected);
  }

  // --- model bookkeeping ----------------------------------------------------------------

  bool ItemMatches(const typename Container::Item& item, int slot, const ModelKey& key) const {
    if constexpr (Traits::kHasValues) {
      return item.second == mModels[slot].at(key);
    } else {
      static_cast<void>(item);
      return mModels[slot].count(key) == 1;
    }
  }

  static ModelKey ModelKeyOf(typename Model::const_iterator position) {
    if constexpr (Traits::kHasValues)
      return position->first;
    else
      return *position;
  }

  void ForgetKey(int slot, const ModelKey& key) {
    mModels[slot].erase(key);
    for (Pooled& pooled : mPool)
      if (pooled.where == Where::OnKey && pooled.slot == slot && pooled.key == key) pooled.where = Where::Detached;
  }

  void DetachOnElements(int slot) {
    for (Pooled& pooled : mPool)
      if (pooled.where == Where::OnKey && pooled.slot == slot) pooled.where = Where::Detached;
  }

  void AddToPool(Pooled pooled) {
    if (mPool.size() == kPoolLimit) mPool.erase(mPool.begin());
    mPool.push_back(std::move(pooled));
  }

  Pooled& PickPooled() { return mPool[mInput.ConsumeIntegralInRange<std::size_t>(0, mPool.size() - 1)]; }

  FuzzedDataProvider& mInput;
  std::unique_ptr<Container> mContainers[kSlots];
  Model mModels[kSlots];
  std::vector<Pooled> mPool;  // destroyed before the containers (declared after them)
};

}  // namespace zrmfuzz

#endif
