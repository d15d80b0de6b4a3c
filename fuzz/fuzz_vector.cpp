// Differential fuzzer of ZRMUtVector against std::vector with a model of the growth rule: vectors
// of int (which grow in place) or of Element (FuzzSupport.h: copied element by element, copies
// that fail on a budget), with held iterators in the mutable or the read-only form; the first
// byte chooses.
//
// Beside the operations of every container (FuzzSupport.h), PushBack, Reserve, Resize, operator[],
// Back, WithCapacity, move assignment, Begin() + offset and the steps of the iterators. After
// every operation the capacities agree with the model too, and every held iterator is Begin() +
// its index. An index or a step out of range raises IndexOutOfRange, a use of a detached or end
// iterator InvalidIterator, each from its documented line, and changes nothing; growth,
// shrinking, clearing, assignment, moves and destruction detach exactly the iterators the rules
// name (an iterator of a vector without storage stands on nothing, as good as detached). A failed
// element copy leaves the contents, and but for Resize the capacity and the iterators, as they were.
#include "FuzzSupport.h"
#include "ZRMUtVector.h"

#include <algorithm>
#include <climits>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

using zrmfuzz::Element;

// Capacity the growth rule gives for needed elements.
int Grown(int capacity, int needed) {
  return capacity == 0 ? 1 : capacity >= needed ? capacity : std::max(capacity + capacity / 2, needed);
}

using zrmfuzz::Outcome;
constexpr Outcome kValid = {0, 0}, kInvalid = {ZRMUtError::InvalidIterator, 307},
                  kRefusedCount = {ZRMUtError::IndexOutOfRange, 385};

template <class T, class It>
struct VectorFamily {
  using Container = ZRMUtVector<T>;
  using Model = std::vector<int>;
  using Held = zrmfuzz::Held<It, int>;  // at an index; Size() at the end
  using D = zrmfuzz::Driver<VectorFamily>;
  static constexpr bool kWrites = std::is_same_v<It, typename Container::Iterator>, kKeepsEnd = false,
                        kDetachedCompare = false, kCounted = std::is_same_v<T, Element>;
  static constexpr const char* kFile = "ZRMUtilities/ProtectedInterfaces/ZRMUtVector";
  static constexpr int kInvalidLine = 307, kOps = 8;

  static int Read(const T& element) { return element; }
  static void Write(It& it, int value) { *it = T(value); }
  // The model's element under the iterator, null unless on one.
  static int* Value(D& d, const Held& h) {
    return !h.detached && h.pos < int(d.models[h.slot].size()) ? &d.models[h.slot][h.pos] : nullptr;
  }
  std::pair<bool, int> Place(const D& d, int slot, bool end) const {
    return {capacities[slot] == 0, end ? int(d.models[slot].size()) : 0};
  }
  // A copy starts from the growth rule for no capacity, then appends.
  void Copied(const D& d, int slot) {
    int capacity = 1;
    while (capacity < int(d.models[slot].size())) capacity = Grown(capacity, capacity + 1);
    capacities[slot] = capacity;
  }

  void Step(D& d, int op, int slot, int other, int value) {
    FuzzedDataProvider& input = d.input;
    Container& vector = *d.containers[slot];
    Model& model = d.models[slot];
    const int size = int(model.size()), count = input.ConsumeIntegralInRange<int>(-3, 48);
    switch (op) {
      case 0: {  // a copy or a moved value, now and then one of the vector's own elements
        const int own = size > 0 && input.ConsumeBool() ? input.ConsumeIntegralInRange<int>(0, size - 1) : -1;
        T appended(value);
        T& source = own >= 0 ? vector[own] : appended;
        const int expected = source;
        input.ConsumeBool() ? vector.PushBack(std::move(source)) : vector.PushBack(source);
        Append(d, slot, expected);
        break;
      }
      case 1: {
        if (!D::Expect([&] { vector.Reserve(count); }, count < 0 ? kRefusedCount : kValid)) return;
        const int capacity = Grown(capacities[slot], size + count);
        if (capacity != capacities[slot]) DetachFrom(d, slot, 0);
        capacities[slot] = capacity;
        break;
      }
      case 2: {  // shrinking detaches from the new size on; growing (fill: zero, a value or an own
                 // element) always reallocates
        const int fillKind = input.ConsumeIntegralInRange<int>(0, 2),
                  own = fillKind == 2 && size > 0 ? (value & 0xffff) % size : -1;
        const int fill = own >= 0 ? model[own] : fillKind == 1 ? value : 0;
        auto resize = [&] {
          own >= 0        ? vector.Resize(count, vector[own])
          : fillKind == 1 ? vector.Resize(count, T(fill))
                          : vector.Resize(count);
        };
        try {
          if (!D::Expect(resize, count < 0 ? kRefusedCount : kValid)) return;
        } catch (const zrmfuzz::CopyFailed&) {   // the contents stay; the new room may stay too, so
          capacities[slot] = vector.Capacity();  // where its iterators are is left open
          auto& held = d.held;
          held.erase(std::remove_if(held.begin(), held.end(), [&](const auto& h) { return h.slot == slot; }),
                     held.end());
          return;
        }
        if (count < size) {
          DetachFrom(d, slot, count);
          model.resize(count);
        } else if (count > size) {
          capacities[slot] = Grown(capacities[slot], count);
          DetachFrom(d, slot, 0);
          while (int(model.size()) < count) Append(d, slot, fill);
        }
        break;
      }
      case 3: {  // operator[] or, for a count of -3, Back: reads or writes inside, refuses outside
                 // (line 385 mutable, 395 read-only)
        const bool readOnly = input.ConsumeBool(), back = count == -3;
        const int index = back ? size - 1 : count == 48 ? (value < 0 ? INT_MIN : INT_MAX) : count;
        auto element = [&]() -> const T& {
          return back       ? (readOnly ? std::as_const(vector).Back() : vector.Back())
                 : readOnly ? std::as_const(vector)[index]
                            : vector[index];
        };
        const Outcome outside = {ZRMUtError::IndexOutOfRange, readOnly ? 395 : 385};
        if (!D::Expect([&] { ZRM_FUZZ_CHECK(element() == model[index]); },
                       index < 0 || index >= size ? outside : kValid))
          return;
        if (!readOnly) vector[index] = T(model[index] = value);
        break;
      }
      case 4: {  // replaced by an empty vector with exactly the room asked (a negative count is
                 // refused); the old vector dies
        auto replace = [&] { d.containers[slot] = std::make_unique<Container>(Container::WithCapacity(count)); };
        if (!D::Expect(replace, count < 0 ? kRefusedCount : kValid)) return;
        model.clear();
        capacities[slot] = count;
        DetachFrom(d, slot, 0);
        break;
      }
      case 5:  // move assignment: from itself nothing changes; it takes the storage
        vector = std::move(*d.containers[other]);
        if (other == slot) break;
        model = std::move(d.models[other]);
        d.models[other].clear();
        capacities[slot] = std::exchange(capacities[other], 0);
        for (const int moved : {slot, other}) DetachFrom(d, moved, 0);
        break;
      case 6: {  // Begin() + offset
        const bool inside = count >= 0 && count <= size && capacities[slot] > 0;
        d.Take(
            slot, [&](auto& v) -> It { return inside ? v.Begin() + count : v.Begin(); }, capacities[slot] == 0,
            inside ? count : 0);
        break;
      }
      default: {  // ++, postfix ++, --, postfix --, +=, -=, + and -: refused when detached (307);
                  // forward to [first element, end] and back to [first element, end), otherwise
                  // IndexOutOfRange (269); a refused step leaves the iterator where it was
        if (d.held.empty()) break;
        auto& held = d.Pick();
        const int form = input.ConsumeIntegralInRange<int>(0, 7), by = form < 2 ? 1 : form < 4 ? -1 : count % 5;
        auto step = [&] {
          It& it = held.it;
          const It before = it;
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
        const int target = held.pos + by, end = int(d.models[held.slot].size());
        const bool back = form == 2 || (form % 2 == 1 && form > 1);
        const bool outside = target < 0 || target > end || (back && target == end);
        const Outcome outcome = held.detached ? kInvalid : outside ? Outcome{ZRMUtError::IndexOutOfRange, 269} : kValid;
        if (D::Expect(step, outcome)) held.pos = target;
      }
    }
  }

  // One more element, by the growth rule when full (which detaches every iterator).
  void Append(D& d, int slot, int value) {
    if (int(d.models[slot].size()) == capacities[slot]) {
      capacities[slot] = Grown(capacities[slot], capacities[slot] + 1);
      DetachFrom(d, slot, 0);
    }
    d.models[slot].push_back(value);
  }
  // The iterators of a slot at index from or beyond are detached.
  static void DetachFrom(D& d, int slot, int from) {
    d.DetachIf(slot, [&](const Held& h) { return h.pos >= from; });
  }

  void CheckMore(const D& d) const {
    for (int slot = 0; slot < 2; ++slot) ZRM_FUZZ_CHECK(d.containers[slot]->Capacity() == capacities[slot]);
    for (const auto& h : d.held)
      if (!h.detached) ZRM_FUZZ_CHECK(h.it == d.containers[h.slot]->Begin() + h.pos);
  }

  int capacities[2] = {0, 0};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return zrmfuzz::Fuzz<VectorFamily<int, ZRMUtVector<int>::Iterator>,
                       VectorFamily<int, ZRMUtVector<int>::ConstIterator>,
                       VectorFamily<Element, ZRMUtVector<Element>::Iterator>,
                       VectorFamily<Element, ZRMUtVector<Element>::ConstIterator>>(data, size);
}
