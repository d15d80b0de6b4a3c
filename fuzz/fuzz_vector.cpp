// Differential fuzzer of ZRMUtVector against std::vector with a model of the growth rule: vectors
// of int (which grow in place) or of an element that counts its live instances (copied element
// by element), with held iterators in the mutable or the read-only form; the first byte chooses.
//
// Two vectors and their models receive the decoded operations, beside held iterators at an index
// or detached. After every operation sizes, contents, capacities and the number of live elements
// agree with the models, both vectors pass their own invariant check, and every held iterator
// stands where the model says. An index or a step out of range raises IndexOutOfRange, a use of a
// detached or end iterator InvalidIterator, each from its documented line, and changes nothing;
// growth, shrinking, clearing, assignment, moves and destruction detach exactly the iterators the
// rules name.
#include "FuzzSupport.h"
#include "ZRMUtVector.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <type_traits>
#include <vector>

namespace {

// An element that counts its live instances; not trivially copyable.
struct Element {
  Element(int v = 0) noexcept : value(v) { ++live; }  // NOLINT: converts, as int does
  Element(const Element& other) noexcept : value(other.value) { ++live; }
  Element& operator=(const Element& other) noexcept = default;
  ~Element() { --live; }
  operator int() const noexcept { return value; }  // NOLINT: converts, as int does
  int value;
  static inline long live = 0;
};

// Capacity the growth rule gives for needed elements.
int Grown(int capacity, int needed) {
  return capacity == 0 ? 1 : capacity >= needed ? capacity : std::max(capacity + capacity / 2, needed);
}

template <class T, class Iterator>
class VectorHarness {
  using Vector = ZRMUtVector<T>;
  struct Place {
    bool detached = true;
    int slot = 0;
    int index = 0;  // Size() at the end
  };
  using Pool = zrmfuzz::HeldIterators<Iterator, Place>;
  using Held = typename Pool::Held;
  static constexpr bool kWrites = std::is_same_v<Iterator, typename Vector::Iterator>;

public:
  explicit VectorHarness(FuzzedDataProvider& input) : mInput(input) {
    for (auto& vector : mVectors) vector.emplace();
  }

  void Run() {
    while (mInput.remaining_bytes() > 0) {
      Step();
      Check();
    }
    for (const Held& held : mHeld.pool)  // a detached or end iterator refuses to be dereferenced
      Expect([&] { static_cast<void>(held.it.operator->()); }, OnElement(held) ? kValid : kInvalid);
  }

private:
  void Step() {
    const int slot = mInput.ConsumeIntegralInRange<int>(0, 1), other = mInput.ConsumeIntegralInRange<int>(0, 1);
    Vector& vector = *mVectors[slot];
    std::vector<int>& model = mModels[slot];
    const int size = Size(slot), count = mInput.ConsumeIntegralInRange<int>(-3, 48),
              value = mInput.ConsumeIntegral<int>();
    switch (mInput.ConsumeIntegralInRange<int>(0, 10)) {
      case 0: {  // a copy or a moved value, now and then one of the vector's own elements
        const int own = size > 0 && mInput.ConsumeBool() ? mInput.ConsumeIntegralInRange<int>(0, size - 1) : -1;
        T appended(value);
        T& source = own >= 0 ? vector[own] : appended;
        const int expected = source;
        mInput.ConsumeBool() ? vector.PushBack(std::move(source)) : vector.PushBack(source);
        Append(slot, expected);
        break;
      }
      case 1: {
        if (!Expect([&] { vector.Reserve(count); }, count < 0 ? kRefusedCount : kValid)) return;
        const int capacity = Grown(mCapacities[slot], size + count);
        if (capacity != mCapacities[slot]) DetachFrom(slot, 0);
        mCapacities[slot] = capacity;
        break;
      }
      case 2: {  // shrinking detaches from the new size on; growing (fill: zero, a value or an own
                 // element) always reallocates
        const int fillKind = mInput.ConsumeIntegralInRange<int>(0, 2),
                  own = fillKind == 2 && size > 0 ? (value & 0xffff) % size : -1;
        const int fill = own >= 0 ? model[own] : fillKind == 1 ? value : 0;
        auto resize = [&] {
          own >= 0        ? vector.Resize(count, vector[own])
          : fillKind == 1 ? vector.Resize(count, T(fill))
                          : vector.Resize(count);
        };
        if (!Expect(resize, count < 0 ? kRefusedCount : kValid)) return;
        if (count < size) {
          DetachFrom(slot, count);
          model.resize(count);
        } else if (count > size) {
          mCapacities[slot] = Grown(mCapacities[slot], count);
          DetachFrom(slot, 0);
          while (Size(slot) < count) Append(slot, fill);
        }
        break;
      }
      case 3: {  // operator[] or, for a count of -3, Back: reads or writes inside, refuses outside
                 // (line 385 mutable, 395 read-only)
        const bool readOnly = mInput.ConsumeBool(), back = count == -3;
        const int index = back ? size - 1 : count == 48 ? (value < 0 ? INT_MIN : INT_MAX) : count;
        auto element = [&]() -> const T& {
          return back       ? (readOnly ? std::as_const(vector).Back() : vector.Back())
                 : readOnly ? std::as_const(vector)[index]
                            : vector[index];
        };
        const Outcome outside = {ZRMUtError::IndexOutOfRange, readOnly ? 395 : 385};
        if (!Expect([&] { ZRM_FUZZ_CHECK(element() == model[index]); }, index < 0 || index >= size ? outside : kValid))
          return;
        if (!readOnly) vector[index] = T(model[index] = value);
        break;
      }
      case 4:
        vector.Clear();
        model.clear();
        DetachFrom(slot, 0);
        break;
      case 5:  // replaced by a copy of either vector or by an empty one with exactly the room asked
               // (a negative count is refused); the old vector dies
        if (mInput.ConsumeBool()) {
          auto replace = [&] { mVectors[slot].emplace(Vector::WithCapacity(count)); };
          if (!Expect(replace, count < 0 ? kRefusedCount : kValid)) return;
          model.clear();
          mCapacities[slot] = count;
        } else {
          Vector copy(*mVectors[other]);
          mVectors[slot].emplace(std::move(copy));
          model = std::vector<int>(mModels[other]);
          mCapacities[slot] = CopyCapacity(size_t(Size(slot)));
        }
        DetachFrom(slot, 0);
        break;
      case 6: {  // copy or move assignment: from itself nothing changes; a move takes the storage
        const bool move = mInput.ConsumeBool();
        move ? static_cast<void>(vector = std::move(*mVectors[other]))
             : static_cast<void>(vector = std::as_const(*mVectors[other]));
        if (other == slot) break;
        model = mModels[other];
        mCapacities[slot] = move ? mCapacities[other] : CopyCapacity(model.size());
        for (const int moved : {slot, move ? other : slot}) DetachFrom(moved, 0);
        if (move) {
          mModels[other].clear();
          mCapacities[other] = 0;
        }
        break;
      }
      case 7: {  // Begin, End or Begin() + offset, or an unbound iterator; without storage a
                 // vector's iterators stand on nothing, as good as detached
        const int how = mInput.ConsumeIntegralInRange<int>(0, 3);
        const int offset = how != 2 || count < 0 || count > size || mCapacities[slot] == 0 ? 0 : count;
        auto take = [&](auto& v) -> Iterator {
          return how == 1 ? v.End() : offset > 0 ? v.Begin() + offset : v.Begin();
        };
        Iterator it = how == 3 ? Iterator() : take(vector);
        if constexpr (!kWrites) {  // the read-only vector's answer
          if (how < 3 && value % 2 == 0) it = take(std::as_const(vector));
        }
        Held held{it, {how == 3 || mCapacities[slot] == 0, slot, how == 1 ? size : offset}};
        mHeld.Keep(std::move(held));
        break;
      }
      case 8: mHeld.DropCopyOrAssign(mInput); break;
      case 9: {  // ++, postfix ++, --, postfix --, +=, -=, + and -: refused when detached (307);
                 // forward to [first element, end] and back to [first element, end), otherwise
                 // IndexOutOfRange (269); a refused step leaves the iterator where it was
        if (mHeld.pool.empty()) break;
        Held& held = mHeld.Pick(mInput);
        const int form = mInput.ConsumeIntegralInRange<int>(0, 7), by = form < 2 ? 1 : form < 4 ? -1 : count % 5;
        auto step = [&] {
          Iterator& it = held.it;
          const Iterator before = it;
          switch (form) {
            case 0: ++it; break;
            case 1: ZRM_FUZZ_CHECK(it++ == before); break;
            case 2: --it; break;
            case 3: ZRM_FUZZ_CHECK(it-- == before); break;
            case 4: it += by; break;
            case 5: it -= -by; break;
            case 6: it = it + by; break;
            default: it = it - (-by); break;
          }
        };
        const int target = held.place.index + by, end = Size(held.place.slot);
        const bool back = form == 2 || (form % 2 == 1 && form > 1);
        const bool outside = target < 0 || target > end || (back && target == end);
        const Outcome outcome = held.place.detached ? kInvalid
                                : outside           ? Outcome{ZRMUtError::IndexOutOfRange, 269}
                                                    : kValid;
        if (Expect(step, outcome)) held.place.index = target;
        break;
      }
      default: {  // reads or writes through a held iterator (refused at the end or detached); a
                  // read-only walk
        std::vector<int> walked;
        for (auto it = std::as_const(vector).Begin(); it != std::as_const(vector).End(); ++it) walked.push_back(*it);
        ZRM_FUZZ_CHECK(walked == model);
        if (mHeld.pool.empty()) break;
        Held& held = mHeld.Pick(mInput);
        const bool write = kWrites && value % 2 == 0;
        auto use = [&] {
          if constexpr (kWrites) {
            if (write) return static_cast<void>(*held.it = T(value));
          }
          static_cast<void>(*held.it);
        };
        if (Expect(use, OnElement(held) ? kValid : kInvalid) && write)
          mModels[held.place.slot][held.place.index] = value;
      }
    }
  }

  int Size(int slot) const { return static_cast<int>(mModels[slot].size()); }

  // One more element, by the growth rule when full (which detaches every iterator).
  void Append(int slot, int value) {
    if (Size(slot) == mCapacities[slot]) {
      mCapacities[slot] = Grown(mCapacities[slot], Size(slot) + 1);
      DetachFrom(slot, 0);
    }
    mModels[slot].push_back(value);
  }

  // The iterators of a slot at index from or beyond are detached.
  void DetachFrom(int slot, int from) {
    for (Held& held : mHeld.pool)
      if (held.place.slot == slot && held.place.index >= from) held.place.detached = true;
  }

  // A copy starts from the growth rule for no capacity, then appends.
  static int CopyCapacity(std::size_t size) {
    int capacity = 1;
    while (capacity < int(size)) capacity = Grown(capacity, capacity + 1);
    return capacity;
  }

  void Check() {
    long live = 0;
    for (int slot = 0; slot < 2; ++slot) {
      const Vector& vector = *mVectors[slot];
      if (const char* fault = vector.FindInvariantViolation()) zrmfuzz::Fail(__FILE__, __LINE__, fault);
      ZRM_FUZZ_CHECK(vector.Size() == Size(slot) && vector.Capacity() == mCapacities[slot]);
      for (int i = 0; i < Size(slot); ++i) ZRM_FUZZ_CHECK(vector[i] == mModels[slot][i]);
      live += Size(slot);
    }
    if constexpr (std::is_same_v<T, Element>) ZRM_FUZZ_CHECK(Element::live == live);
    for (const Held& held : mHeld.pool) {
      const Place& p = held.place;
      if (p.detached) continue;
      const Vector& vector = *mVectors[p.slot];
      const Iterator& it = held.it;  // Begin() + index of its vector, with that element
      ZRM_FUZZ_CHECK(it == vector.Begin() + p.index && it != std::as_const(*mVectors[1 - p.slot]).End());
      ZRM_FUZZ_CHECK((it == vector.End()) == (p.index == Size(p.slot)));
      if (p.index < Size(p.slot)) ZRM_FUZZ_CHECK(*it == mModels[p.slot][p.index]);
    }
  }

  bool OnElement(const Held& held) const { return !held.place.detached && held.place.index < Size(held.place.slot); }

  // What a call must raise, from which line of the vector's header (code 0: nothing).
  struct Outcome {
    unsigned int code;
    int line;
  };
  static constexpr Outcome kValid = {0, 0}, kInvalid = {ZRMUtError::InvalidIterator, 307},
                           kRefusedCount = {ZRMUtError::IndexOutOfRange, 385};
  template <class Call>
  static bool Expect(Call&& call, Outcome outcome) {
    return zrmfuzz::CheckCall(call, outcome.code, "ZRMUtilities/ProtectedInterfaces/ZRMUtVector", outcome.line);
  }

  FuzzedDataProvider& mInput;
  std::optional<Vector> mVectors[2];
  std::vector<int> mModels[2];
  int mCapacities[2] = {0, 0};
  Pool mHeld;  // destroyed before the vectors
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  switch (input.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: VectorHarness<int, ZRMUtVector<int>::Iterator>(input).Run(); break;
    case 1: VectorHarness<int, ZRMUtVector<int>::ConstIterator>(input).Run(); break;
    case 2: VectorHarness<Element, ZRMUtVector<Element>::Iterator>(input).Run(); break;
    default: VectorHarness<Element, ZRMUtVector<Element>::ConstIterator>(input).Run(); break;
  }
  ZRM_FUZZ_CHECK(Element::live == 0);
  return 0;
}
