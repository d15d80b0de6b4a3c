// Differential fuzzer of ZRMUtVector against std::vector.
//
// Two vectors (slots 0 and 1) of an element type that counts its live instances receive the
// operations decoded from the input, beside two std::vector models and a model of the capacity
// under the growth rule. A pool of iterators follows. After every operation: sizes, contents,
// capacities and the number of live elements agree with the models, both vectors pass their own
// invariant check, and every pooled iterator stands on the element the model says. Every
// out-of-range index or step must raise IndexOutOfRange, every use of a detached iterator
// InvalidIterator, from the documented line, leaving the vector unchanged; growth, shrinking
// and clearing detach exactly the iterators the rules name.
#include "FuzzSupport.h"
#include "ZRMUtVector.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

using zrmfuzz::RaisesError;
using zrmfuzz::RaisesNothing;

namespace {

constexpr const char* kVectorFile = "ZRMUtilities/ProtectedInterfaces/ZRMUtVector";

// An element that counts its live instances (construction, copies and destruction).
class Element {
public:
  Element() noexcept : mValue(0) { ++sLive; }
  explicit Element(int value) noexcept : mValue(value) { ++sLive; }
  Element(const Element& other) noexcept : mValue(other.mValue) { ++sLive; }
  Element& operator=(const Element& other) noexcept = default;
  ~Element() { --sLive; }
  int Value() const noexcept { return mValue; }
  void Set(int value) noexcept { mValue = value; }
  static long Live() noexcept { return sLive; }

private:
  int mValue;
  static inline long sLive = 0;
};

using Vector = ZRMUtVector<Element>;

// Capacity the growth rule gives for needed elements.
int Grown(int capacity, int needed) {
  if (capacity == 0) return 1;
  if (capacity >= needed) return capacity;
  return std::max(capacity + capacity / 2, needed);
}

class VectorHarness {
  static constexpr int kSlots = 2;
  static constexpr std::size_t kPoolLimit = 10;

  // A pooled iterator and where the model puts it: on index (size = at the end) of a slot, or
  // detached.
  struct Pooled {
    std::unique_ptr<Vector::Iterator> mutableForm;
    std::unique_ptr<Vector::ConstIterator> constForm;
    bool detached = true;
    int slot = 0;
    int index = 0;
  };

public:
  explicit VectorHarness(FuzzedDataProvider& input) : mInput(input) {
    for (auto& vector : mVectors) vector.reset(new Vector());
  }

  void Run() {
    while (mInput.remaining_bytes() > 0) {
      Step();
      CheckAll();
    }
    for (const Pooled& pooled : mPool) Probe(pooled);
    mPool.clear();
    for (auto& vector : mVectors) vector.reset();
    ZRM_FUZZ_CHECK(Element::Live() == 0);
  }

private:
  void Step() {
    const int slot = mInput.ConsumeIntegralInRange<int>(0, kSlots - 1);
    switch (mInput.ConsumeIntegralInRange<int>(0, 16)) {
      case 0: PushBack(slot); break;
      case 1: Reserve(slot); break;
      case 2: Resize(slot); break;
      case 3: Index(slot); break;
      case 4: Back(slot); break;
      case 5: Clear(slot); break;
      case 6: CopyConstruct(slot); break;
      case 7: Assign(slot); break;
      case 8: SelfAssign(slot); break;
      case 9: PoolBeginOrEnd(slot); break;
      case 10: PoolStep(); break;
      case 11: PoolCopyOrAssign(); break;
      case 12: PoolDrop(); break;
      case 13: WriteThroughPooled(); break;
      case 14: PushBackOwnElement(slot); break;
      case 15:
        if (!mPool.empty()) Probe(PickPooled());
        break;
      default: Traverse(slot); break;
    }
  }

  int Size(int slot) const { return static_cast<int>(mModels[slot].size()); }

  // Every iterator of the slot whose index is at least from is detached.
  void DetachFrom(int slot, int from) {
    for (Pooled& pooled : mPool)
      if (!pooled.detached && pooled.slot == slot && pooled.index >= from) pooled.detached = true;
  }

  // Appends one element, reallocating by the growth rule when full.
  void Append(int slot, int value) {
    if (Size(slot) == mCapacities[slot]) {
      mCapacities[slot] = Grown(mCapacities[slot], Size(slot) + 1);
      DetachFrom(slot, 0);
    }
    mModels[slot].push_back(value);
  }

  void PushBack(int slot) {
    const int value = mInput.ConsumeIntegral<int>();
    mVectors[slot]->PushBack(Element(value));
    Append(slot, value);
  }

  // An element of the vector itself, appended while the vector may reallocate.
  void PushBackOwnElement(int slot) {
    if (mModels[slot].empty()) return;
    const int index = mInput.ConsumeIntegralInRange<int>(0, Size(slot) - 1);
    Vector& vector = *mVectors[slot];
    if (mInput.ConsumeBool())
      vector.PushBack(std::move(vector[index]));  // moving leaves the element's value
    else
      vector.PushBack(vector[index]);
    Append(slot, mModels[slot][static_cast<std::size_t>(index)]);
  }

  void Reserve(int slot) {
    const int count = mInput.ConsumeIntegralInRange<int>(-3, 40);
    if (count < 0) {
      ZRM_FUZZ_CHECK(
          RaisesError([&] { mVectors[slot]->Reserve(count); }, ZRMUtError::IndexOutOfRange, kVectorFile, 385));
      return;
    }
    mVectors[slot]->Reserve(count);
    const int capacity = Grown(mCapacities[slot], Size(slot) + count);
    if (capacity != mCapacities[slot]) DetachFrom(slot, 0);
    mCapacities[slot] = capacity;
  }

  void Resize(int slot) {
    const int count = mInput.ConsumeIntegralInRange<int>(-2, 48);
    const bool withFill = mInput.ConsumeBool();
    const int fill = withFill ? mInput.ConsumeIntegral<int>() : 0;
    Vector& vector = *mVectors[slot];
    auto resize = [&] { withFill ? vector.Resize(count, Element(fill)) : vector.Resize(count); };
    if (count < 0) {
      ZRM_FUZZ_CHECK(RaisesError(resize, ZRMUtError::IndexOutOfRange, kVectorFile, 385));
      return;
    }
    resize();
    if (count < Size(slot)) {
      DetachFrom(slot, count);
      mModels[slot].resize(static_cast<std::size_t>(count));
    } else if (count > Size(slot)) {
      mCapacities[slot] = Grown(mCapacities[slot], count);
      DetachFrom(slot, 0);
      while (Size(slot) < count) Append(slot, fill);
    }
  }

  // Indexed access: inside reads and writes the element, outside raises IndexOutOfRange from
  // line 385 (mutable) or 395 (read-only).
  void Index(int slot) {
    int index = mInput.ConsumeIntegralInRange<int>(-3, 50);
    if (index == 50) index = mInput.ConsumeBool() ? INT_MAX : INT_MIN;
    const bool readOnly = mInput.ConsumeBool();
    const int value = mInput.ConsumeIntegral<int>();
    Vector& vector = *mVectors[slot];
    const Vector& constVector = vector;
    if (index < 0 || index >= Size(slot)) {
      if (readOnly)
        ZRM_FUZZ_CHECK(
            RaisesError([&] { static_cast<void>(constVector[index]); }, ZRMUtError::IndexOutOfRange, kVectorFile, 395));
      else
        ZRM_FUZZ_CHECK(RaisesError([&] { vector[index].Set(value); }, ZRMUtError::IndexOutOfRange, kVectorFile, 385));
      return;
    }
    const std::size_t position = static_cast<std::size_t>(index);
    if (readOnly) {
      ZRM_FUZZ_CHECK(constVector[index].Value() == mModels[slot][position]);
    } else {
      vector[index].Set(value);
      mModels[slot][position] = value;
    }
  }

  void Back(int slot) {
    Vector& vector = *mVectors[slot];
    const Vector& constVector = vector;
    if (mModels[slot].empty()) {
      ZRM_FUZZ_CHECK(
          RaisesError([&] { static_cast<void>(vector.Back()); }, ZRMUtError::IndexOutOfRange, kVectorFile, 385));
      ZRM_FUZZ_CHECK(
          RaisesError([&] { static_cast<void>(constVector.Back()); }, ZRMUtError::IndexOutOfRange, kVectorFile, 395));
      return;
    }
    ZRM_FUZZ_CHECK(vector.Back().Value() == mModels[slot].back());
    ZRM_FUZZ_CHECK(constVector.Back().Value() == mModels[slot].back());
  }

  // Clearing keeps the storage and detaches every iterator on it.
  void Clear(int slot) {
    mVectors[slot]->Clear();
    mModels[slot].clear();
    DetachFrom(slot, 0);
  }

  // Capacity of a copy of a vector of size elements: capacity 1 from the growth rule, then
  // the appends.
  static int CopyCapacity(int size) {
    int capacity = 1;
    for (int n = 0; n < size; ++n)
      if (n == capacity) capacity = Grown(capacity, n + 1);
    return capacity;
  }

  // Replaces a vector by a copy of a vector (possibly itself); the old one is destroyed.
  void CopyConstruct(int slot) {
    if (mInput.ConsumeBool()) return WithCapacity(slot);
    const int source = mInput.ConsumeIntegralInRange<int>(0, kSlots - 1);
    std::unique_ptr<Vector> copy(new Vector(*mVectors[source]));
    std::vector<int> model = mModels[source];
    DetachFrom(slot, 0);
    mVectors[slot] = std::move(copy);
    mModels[slot] = std::move(model);
    mCapacities[slot] = CopyCapacity(Size(slot));
  }

  // Replaces the slot by an empty vector with exactly the room asked (a negative count raises
  // and changes nothing).
  void WithCapacity(int slot) {
    const int count = mInput.ConsumeIntegralInRange<int>(-2, 40);
    if (count < 0) {
      ZRM_FUZZ_CHECK(
          RaisesError([&] { (void)Vector::WithCapacity(count); }, ZRMUtError::IndexOutOfRange, kVectorFile, 385));
      return;
    }
    mVectors[slot] = std::make_unique<Vector>(Vector::WithCapacity(count));
    DetachFrom(slot, 0);
    mModels[slot].clear();
    mCapacities[slot] = count;
  }

  void Assign(int slot) {
    const int source = 1 - slot;
    *mVectors[slot] = *mVectors[source];
    mModels[slot] = mModels[source];
    mCapacities[slot] = CopyCapacity(Size(slot));
    DetachFrom(slot, 0);
  }

  void SelfAssign(int slot) {
    Vector& vector = *mVectors[slot];
    const Vector& alias = vector;
    vector = alias;
  }

  // Begin or End of a vector, or an iterator bound to no vector.
  void PoolBeginOrEnd(int slot) {
    Pooled pooled;
    pooled.slot = slot;
    if (mInput.ConsumeIntegralInRange<int>(0, 4) == 0) {
      if (mInput.ConsumeBool())
        pooled.mutableForm.reset(new Vector::Iterator());
      else
        pooled.constForm.reset(new Vector::ConstIterator());
      AddToPool(std::move(pooled));  // detached
      return;
    }
    const bool atEnd = mInput.ConsumeBool();
    const bool readOnly = mInput.ConsumeBool();
    Vector& vector = *mVectors[slot];
    const Vector& constVector = vector;
    if (readOnly)
      pooled.constForm.reset(new Vector::ConstIterator(atEnd ? constVector.End() : constVector.Begin()));
    else
      pooled.mutableForm.reset(new Vector::Iterator(atEnd ? vector.End() : vector.Begin()));
    pooled.index = atEnd ? Size(slot) : 0;
    // Without storage an iterator has no element to stand on: it is as good as detached.
    pooled.detached = mCapacities[slot] == 0;
    AddToPool(std::move(pooled));
  }

  // Steps a pooled iterator: a detached one raises InvalidIterator; a live one whose target
  // falls outside [first element, end], or on the end after a step back (--, -), raises
  // IndexOutOfRange; both leave it where it was.
  void PoolStep() {
    if (mPool.empty()) return;
    Pooled& pooled = PickPooled();
    const int kind = mInput.ConsumeIntegralInRange<int>(0, 5);
    int offset = mInput.ConsumeIntegralInRange<int>(-4, 4);
    if (kind <= 1) offset = 1;
    if (kind == 2 || kind == 3) offset = -1;
    auto step = [&](auto& it) {
      switch (kind) {
        case 0: ++it; break;
        case 1: it++; break;
        case 2: --it; break;
        case 3: it--; break;
        case 4: it += offset; break;
        default: it = it - (-offset); break;
      }
    };
    auto apply = [&] {
      if (pooled.mutableForm)
        step(*pooled.mutableForm);
      else
        step(*pooled.constForm);
    };
    if (pooled.detached) {
      ZRM_FUZZ_CHECK(RaisesError(apply, ZRMUtError::InvalidIterator, kVectorFile, 307));
      return;
    }
    const int target = pooled.index + offset;
    const bool back = kind == 2 || kind == 3 || kind == 5;
    if (target < 0 || target > Size(pooled.slot) || (back && target == Size(pooled.slot))) {
      ZRM_FUZZ_CHECK(RaisesError(apply, ZRMUtError::IndexOutOfRange, kVectorFile, 269));
      return;
    }
    ZRM_FUZZ_CHECK(RaisesNothing(apply));
    pooled.index = target;
  }

  void PoolCopyOrAssign() {
    if (mPool.empty()) return;
    const Pooled& source = PickPooled();
    if (mInput.ConsumeBool()) {
      Pooled copy;
      copy.detached = source.detached;
      copy.slot = source.slot;
      copy.index = source.index;
      if (source.mutableForm && mInput.ConsumeBool())
        copy.mutableForm.reset(new Vector::Iterator(*source.mutableForm));
      else if (source.mutableForm)
        copy.constForm.reset(new Vector::ConstIterator(*source.mutableForm));
      else
        copy.constForm.reset(new Vector::ConstIterator(*source.constForm));
      AddToPool(std::move(copy));
      return;
    }
    Pooled& target = PickPooled();
    if (target.mutableForm && source.mutableForm)
      *target.mutableForm = *source.mutableForm;
    else if (target.constForm && source.mutableForm)
      *target.constForm = *source.mutableForm;
    else if (target.constForm)
      *target.constForm = *source.constForm;
    else
      return;  // no read-only to mutable assignment
    target.detached = source.detached;
    target.slot = source.slot;
    target.index = source.index;
  }

  void PoolDrop() {
    if (mPool.empty()) return;
    const std::size_t index = mInput.ConsumeIntegralInRange<std::size_t>(0, mPool.size() - 1);
    mPool.erase(mPool.begin() + static_cast<std::ptrdiff_t>(index));
  }

  void WriteThroughPooled() {
    if (mPool.empty()) return;
    Pooled& pooled = PickPooled();
    const int value = mInput.ConsumeIntegral<int>();
    if (!pooled.mutableForm) return;
    auto write = [&] { (*pooled.mutableForm)->Set(value); };
    if (pooled.detached || pooled.index == Size(pooled.slot)) {
      ZRM_FUZZ_CHECK(RaisesError(write, ZRMUtError::InvalidIterator, kVectorFile, 307));
      return;
    }
    ZRM_FUZZ_CHECK(RaisesNothing(write));
    mModels[pooled.slot][static_cast<std::size_t>(pooled.index)] = value;
  }

  // Walks a vector with a read-only iterator, comparing with the model.
  void Traverse(int slot) {
    const Vector& vector = *mVectors[slot];
    std::size_t index = 0;
    for (Vector::ConstIterator it = vector.Begin(); it != vector.End(); ++it, ++index) {
      ZRM_FUZZ_CHECK(index < mModels[slot].size());
      ZRM_FUZZ_CHECK(it->Value() == mModels[slot][index]);
    }
    ZRM_FUZZ_CHECK(index == mModels[slot].size());
  }

  // --- checks ---------------------------------------------------------------------------

  void CheckAll() {
    long live = 0;
    for (int slot = 0; slot < kSlots; ++slot) {
      const Vector& vector = *mVectors[slot];
      ZRM_FUZZ_CHECK(vector.Size() == Size(slot));
      ZRM_FUZZ_CHECK(vector.Capacity() == mCapacities[slot]);
      if (const char* fault = vector.FindInvariantViolation()) zrmfuzz::Fail(__FILE__, __LINE__, fault);
      for (int i = 0; i < Size(slot); ++i)
        ZRM_FUZZ_CHECK(vector[i].Value() == mModels[slot][static_cast<std::size_t>(i)]);
      live += Size(slot);
    }
    ZRM_FUZZ_CHECK(Element::Live() == live);
    for (const Pooled& pooled : mPool) {
      if (pooled.detached) continue;
      if (pooled.mutableForm)
        CheckLive(*pooled.mutableForm, pooled);
      else
        CheckLive(*pooled.constForm, pooled);
    }
  }

  // A live iterator equals Begin() + index of its vector and gives that element.
  template <class AnyIterator>
  void CheckLive(const AnyIterator& it, const Pooled& pooled) {
    const Vector& vector = *mVectors[pooled.slot];
    ZRM_FUZZ_CHECK(it == vector.Begin() + pooled.index);
    ZRM_FUZZ_CHECK((it == vector.End()) == (pooled.index == Size(pooled.slot)));
    if (pooled.index < Size(pooled.slot))
      ZRM_FUZZ_CHECK(it->Value() == mModels[pooled.slot][static_cast<std::size_t>(pooled.index)]);
    const Vector& other = *mVectors[1 - pooled.slot];
    ZRM_FUZZ_CHECK(it != other.End());
  }

  // A detached iterator, or one at the end, raises InvalidIterator when dereferenced.
  void Probe(const Pooled& pooled) {
    if (!pooled.detached && pooled.index < Size(pooled.slot)) return;
    auto dereference = [&] {
      if (pooled.mutableForm)
        static_cast<void>(**pooled.mutableForm);
      else
        static_cast<void>(**pooled.constForm);
    };
    ZRM_FUZZ_CHECK(RaisesError(dereference, ZRMUtError::InvalidIterator, kVectorFile, 307));
  }

  void AddToPool(Pooled pooled) {
    if (mPool.size() == kPoolLimit) mPool.erase(mPool.begin());
    mPool.push_back(std::move(pooled));
  }

  Pooled& PickPooled() { return mPool[mInput.ConsumeIntegralInRange<std::size_t>(0, mPool.size() - 1)]; }

  FuzzedDataProvider& mInput;
  std::unique_ptr<Vector> mVectors[kSlots];
  std::vector<int> mModels[kSlots];
  int mCapacities[kSlots] = {0, 0};
  std::vector<Pooled> mPool;  // destroyed before the vectors
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  VectorHarness harness(input);
  harness.Run();
  return 0;
}
