// Helpers shared by the fuzzers: a failure that stops the run with a message, checks of what a
// call raised, and the driver of the container fuzzers.
#ifndef FuzzSupport_h
#define FuzzSupport_h

#include "ZRMTestSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#define ZRM_FUZZ_CHECK(condition) ((condition) ? static_cast<void>(0) : ::zrmfuzz::Fail(__FILE__, __LINE__, #condition))

namespace zrmfuzz {

// Prints where and what went wrong and aborts: the fuzzing engine keeps the input as a finding,
// the corpus replay fails the test.
[[noreturn]] inline void Fail(const char* file, int line, const char* what) {
  std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, what);
  std::abort();
}

// What a call must raise: a ZRMUtError with this code from this line of the family's header (code
// 0: nothing).
using Outcome = std::pair<unsigned int, int>;

// Thrown by an element copy when the budget is spent.
struct CopyFailed {};

// An element that counts how many were built and are live; its copies fail (CopyFailed) once the
// budget is spent (never when it is negative). Not trivially copyable.
struct Element {
  Element(int v = 0) noexcept : value(v) { ++live, ++built; }  // NOLINT: converts, as int does
  Element(const Element& other) : value(other.value) {
    if (budget-- == 0) throw CopyFailed();
    ++live, ++built;
  }
  Element& operator=(const Element& other) noexcept = default;
  ~Element() { --live; }
  operator int() const noexcept { return value; }  // NOLINT: converts, as int does
  int value;
  static inline long live = 0, built = 0;
  static inline int budget = -1;
};

// A held iterator and where the model puts it: detached, or in the container of slot at pos (the
// family's notion: an index, or a key with none at the end).
template <class Iterator, class Pos>
struct Held {
  Iterator it;
  bool detached;
  int slot;
  Pos pos;
};

// Differential driver of a container family: two containers and their models receive decoded
// operations, beside up to ten held iterators whose place a model of the detaching rules
// predicts. The operations every container has are here (Clear, copy construction and copy
// assignment, Begin, End and unbound iterators, keeping, copying and assigning held iterators,
// reads and writes through them, a read-only walk); the Family adds its own (Step), tells where
// iterators stand (Value, Place) and checks that each attached one is at the element its model
// names (CheckMore). Element copies fail when the budget decoded for a step is spent. After every
// operation each container passes its invariant check and walks as its model, the live elements
// are those of the containers (kCounted: the values are Elements), and every held iterator equals
// the end of a container exactly when the model puts it there, and another held iterator exactly at
// the same place.
template <class Family>
class Driver {
public:
  using Container = typename Family::Container;
  using Held = typename Family::Held;
  using Iterator = decltype(Held::it);
  using Entry = decltype(Family::Read(*std::declval<Iterator>()));  // what a walk reads

  explicit Driver(FuzzedDataProvider& data) : input(data) {
    for (auto& container : containers) container = std::make_unique<Container>();
  }

  void Run() {
    while (input.remaining_bytes() > 0) {
      Element::budget = input.ConsumeIntegralInRange<int>(-9, 6);
      try {
        Step();
      } catch (const CopyFailed&) {  // the models say what a failed operation leaves
      }
      Element::budget = -1;
      Check();
    }
    for (const Held& h : held)  // a detached or end iterator refuses to be dereferenced
      Expect([&] { static_cast<void>(h.it.operator->()); }, OnElement(h));
  }

  // Runs the call, which must raise as the outcome says. Returns whether it was to succeed (code 0).
  template <class Call>
  static bool Expect(Call&& call, Outcome outcome) {
    const auto [code, line] = outcome;
    const zrmtest::Raised raised = zrmtest::CatchRaised(call);
    const bool documented =
        raised.isZRMUtError && raised.code == code && raised.file == Family::kFile && raised.line == line;
    if (code == 0 ? raised.raised : !documented)
      Fail(Family::kFile, line, code == 0 ? "a valid call raised" : "not raised as documented");
    return code == 0;
  }
  // Raises nothing when valid, otherwise InvalidIterator from the family's documented place.
  template <class Call>
  static bool Expect(Call&& call, bool valid) {
    return Expect(call, Outcome{valid ? 0u : unsigned{ZRMUtError::InvalidIterator}, Family::kInvalidLine});
  }
  Held& Pick() { return held[input.ConsumeIntegralInRange<std::size_t>(0, held.size() - 1)]; }
  void Keep(Held h) {
    if (held.size() == 10) held.erase(held.begin());
    held.push_back(std::move(h));
  }
  // Keeps get(container of slot) at pos, or for read-only iterators now and then the read-only
  // container's answer.
  template <class Get, class Pos>
  void Take(int slot, Get get, bool detached, Pos pos) {
    Iterator it = get(*containers[slot]);
    if constexpr (!Family::kWrites) {
      if (input.ConsumeBool()) it = get(std::as_const(*containers[slot]));
    }
    Keep({it, detached, slot, pos});
  }
  // The iterators of slot that pass the test are detached.
  template <class Test>
  void DetachIf(int slot, Test test) {
    for (Held& h : held)
      if (h.slot == slot && test(h)) h.detached = true;
  }
  bool OnElement(const Held& h) { return family.Value(*this, h) != nullptr; }
  // Before Clear or assignment: those on elements, and those at the end unless the family keeps them.
  void DetachChanged(int slot) {
    DetachIf(slot, [&](const Held& h) { return !Family::kKeepsEnd || OnElement(h); });
  }

  FuzzedDataProvider& input;
  Family family;
  std::unique_ptr<Container> containers[2];
  typename Family::Model models[2];
  std::vector<Held> held;  // destroyed before the containers

  std::vector<Entry> Contents(int slot) const { return {models[slot].begin(), models[slot].end()}; }

private:
  void Step() {
    const int slot = input.ConsumeIntegralInRange<int>(0, 1), other = input.ConsumeIntegralInRange<int>(0, 1);
    Container& container = *containers[slot];
    const int value = input.ConsumeIntegral<int>(), op = input.ConsumeIntegralInRange<int>(0, 6 + Family::kOps);
    switch (op) {
      case 0:
        DetachChanged(slot);
        container.Clear();
        models[slot] = {};
        break;
      case 1:  // a copy of either container replaces this one: every iterator on it is detached
        containers[slot] = std::make_unique<Container>(*containers[other]);
        models[slot] = typename Family::Model(models[other]);
        DetachIf(slot, [](const Held&) { return true; });
        family.Copied(*this, slot);
        break;
      case 2:  // copy assignment; from itself nothing changes
        container = std::as_const(*containers[other]);
        if (other == slot) break;
        DetachChanged(slot);
        models[slot] = models[other];
        family.Copied(*this, slot);
        break;
      case 3: {  // Begin, End, or an unbound iterator
        const int how = input.ConsumeIntegralInRange<int>(0, 2);
        const auto [detached, pos] = family.Place(*this, slot, how == 1);
        auto get = [&](auto& c) -> Iterator { return how == 1 ? c.End() : c.Begin(); };
        how == 2 ? Keep({Iterator(), true, slot, pos}) : Take(slot, get, detached, pos);
        break;
      }
      case 4: {  // drops one, keeps a copy of one, or assigns one to another (self-assignment included)
        if (held.empty()) break;
        const int how = input.ConsumeIntegralInRange<int>(0, 2);
        if (how == 0) held.erase(held.begin() + input.ConsumeIntegralInRange<long>(0, held.size() - 1));
        if (how == 1) Keep(Held(Pick()));
        if (how != 2) break;
        const Held& source = Pick();
        Pick() = source;
        break;
      }
      case 5: {  // reads (* and ->) or writes through a held iterator, refused unless on an element
        if (held.empty()) break;
        Held& h = Pick();
        const bool write = Family::kWrites && value % 2 == 0, valid = OnElement(h);
        auto use = [&] {
          if constexpr (Family::kWrites) {
            if (write) return family.Write(h.it, value);
          }
          ZRM_FUZZ_CHECK(Family::Read(*h.it) == Family::Read(*h.it.operator->()));
        };
        if (Expect(use, valid) && write) *family.Value(*this, h) = value;
        break;
      }
      case 6: Walk(std::as_const(container), slot, true); break;
      default: family.Step(*this, op - 7, slot, other, value);
    }
  }

  // Walks the container of slot from Begin to End (postfix or prefix steps) as its model.
  template <class C>
  void Walk(C& container, int slot, bool postfix) {
    std::vector<Entry> walked;
    for (auto it = container.Begin(); it != container.End() && walked.size() <= models[slot].size();
         static_cast<void>(postfix ? it++ : ++it))
      walked.push_back(Family::Read(*it));
    ZRM_FUZZ_CHECK(container.Size() == int(walked.size()) && walked == Contents(slot));
  }

  void Check() {
    for (int slot = 0; slot < 2; ++slot) {
      Container& container = *containers[slot];
      if (const char* fault = container.FindInvariantViolation()) Fail(__FILE__, __LINE__, fault);
      Walk(container, slot, false);
    }
    for (const Held& a : held) {
      if (a.detached && !Family::kDetachedCompare) continue;
      for (int slot = 0; slot < 2; ++slot)
        ZRM_FUZZ_CHECK((a.it == std::as_const(*containers[slot]).End()) ==
                       (!a.detached && a.slot == slot && !OnElement(a)));
      for (const Held& b : held) {  // equal exactly at the same place, or both detached
        if (b.detached && !Family::kDetachedCompare) continue;
        const bool same = a.detached || b.detached ? a.detached == b.detached : a.slot == b.slot && a.pos == b.pos;
        ZRM_FUZZ_CHECK((a.it == b.it) == same && (a.it != b.it) != same);
      }
    }
    ZRM_FUZZ_CHECK(Element::live == (Family::kCounted ? long(models[0].size() + models[1].size()) : 0));
    family.CheckMore(*this);
  }
};

// The body of a container fuzzer: the first byte chooses the family whose driver runs on the rest;
// every element is gone with the driver.
template <class... Families>
int Fuzz(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const int chosen = input.ConsumeIntegralInRange<int>(0, static_cast<int>(sizeof...(Families)) - 1);
  int index = 0;
  ((index++ == chosen ? Driver<Families>(input).Run() : void()), ...);
  ZRM_FUZZ_CHECK(Element::live == 0);
  return 0;
}

}  // namespace zrmfuzz

#endif
