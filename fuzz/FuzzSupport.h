// Helpers shared by the fuzzers: a failure that stops the run with a message, checks of what a
// call raised, and the pool of held iterators of the container fuzzers.
#ifndef FuzzSupport_h
#define FuzzSupport_h

#include "ZRMTestSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace zrmfuzz {

// Prints where and what went wrong and aborts: the fuzzing engine keeps the input as a finding,
// the corpus replay fails the test.
[[noreturn]] inline void Fail(const char* file, int line, const char* what) {
  std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, what);
  std::abort();
}

// Runs the call, which must raise nothing when code is 0 and otherwise a ZRMUtError with this code
// reported from this file and line. Returns whether the call was to succeed (code 0).
template <class Call>
bool CheckCall(Call&& call, unsigned int code, const char* file, int line) {
  const zrmtest::Raised raised = zrmtest::CatchRaised(call);
  const bool documented = raised.isZRMUtError && raised.code == code && raised.file == file && raised.line == line;
  if (code == 0 ? raised.raised : !documented)
    Fail(file, line, code == 0 ? "a valid call raised" : "not raised as documented");
  return code == 0;
}

// Up to ten iterators of a container held across operations, each with the place (Place: the
// harness's own record) where the model puts it.
template <class Iterator, class Place>
struct HeldIterators {
  struct Held {
    Iterator it;
    Place place;
  };

  Held& Pick(FuzzedDataProvider& input) { return pool[input.ConsumeIntegralInRange<std::size_t>(0, pool.size() - 1)]; }
  void Keep(Held held) {
    if (pool.size() == 10) pool.erase(pool.begin());
    pool.push_back(std::move(held));
  }
  // Drops one, keeps a copy of one, or assigns one to another (self-assignment included).
  void DropCopyOrAssign(FuzzedDataProvider& input) {
    if (pool.empty()) return;
    const int how = input.ConsumeIntegralInRange<int>(0, 2);
    if (how == 0) pool.erase(pool.begin() + input.ConsumeIntegralInRange<long>(0, pool.size() - 1));
    if (how == 1) Keep(Held(Pick(input)));
    if (how != 2) return;
    const Held& source = Pick(input);
    Pick(input) = source;
  }

  std::vector<Held> pool;
};

}  // namespace zrmfuzz

#define ZRM_FUZZ_CHECK(condition) ((condition) ? static_cast<void>(0) : ::zrmfuzz::Fail(__FILE__, __LINE__, #condition))

#endif
