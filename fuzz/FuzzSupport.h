// Helpers shared by the fuzzers: a failure that stops the run with a message, and checks of
// what a call raised.
#ifndef FuzzSupport_h
#define FuzzSupport_h

#include "ZRMTestSupport.h"

#include <cstdio>
#include <cstdlib>

namespace zrmfuzz {

// Prints where and what went wrong and aborts: the fuzzing engine keeps the input as a finding,
// the corpus replay fails the test.
[[noreturn]] inline void Fail(const char* file, int line, const char* what) {
  std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, what);
  std::abort();
}

// The call raised nothing.
template <class Call>
bool RaisesNothing(Call&& call) {
  return !zrmtest::CatchRaised(call).raised;
}

// The call raised a ZRMUtError with this code, reported from this file and line.
template <class Call>
bool RaisesError(Call&& call, unsigned int code, const char* file, int line) {
  const zrmtest::Raised raised = zrmtest::CatchRaised(call);
  return raised.raised && raised.isZRMUtError && raised.code == code && raised.file == file && raised.line == line;
}

}  // namespace zrmfuzz

#define ZRM_FUZZ_CHECK(condition) ((condition) ? static_cast<void>(0) : ::zrmfuzz::Fail(__FILE__, __LINE__, #condition))

#endif
