// Test helpers shared by every test area: scaled iteration counts, raised platform errors and
// assertion reports.
#ifndef ZRMTestSupport_h
#define ZRMTestSupport_h

#include "KRNException.h"
#include "ZRMUtAssertFailure.h"
#include "ZRMUtError.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace zrmtest {

// count times the factor in the environment variable ZRM_TEST_SCALE (default 1; the
// memory-checking run under valgrind sets a small factor); never less than 1.
inline long Scaled(long count) {
  const char* text = std::getenv("ZRM_TEST_SCALE");
  const double factor = text ? std::atof(text) : 1.0;
  const long scaled = factor > 0.0 ? static_cast<long>(static_cast<double>(count) * factor) : count;
  return scaled < 1 ? 1 : scaled;
}

// What a call raised: nothing, or a platform object with its kind, code, file and line.
struct Raised {
  bool raised = false;
  bool isZRMUtError = false;
  unsigned int code = 0;
  std::string file;
  int line = 0;
};

// Runs call(); catches a raised platform object, records it and disposes of it.
template <class Call>
Raised CatchRaised(Call&& call) {
  try {
    call();
  } catch (KRNException* raised) {
    KRNExceptionOwner owner(raised);
    const auto* error = raised->IsAKindOf(ZRMUtError::ClassName()) ? static_cast<const ZRMUtError*>(raised) : nullptr;
    return {true, error != nullptr, error ? static_cast<unsigned int>(error->GetCode()) : 0u,
            raised->GetFile() ? raised->GetFile() : "", raised->GetLine()};
  }
  return {};
}

// One report received by the sink.
struct AssertReport {
  enum Kind { Failure, Runtime } kind = Failure;
  bool condition = false;
  std::string expression;
  std::string message;
  std::wstring text;  // runtime reports only
  std::string file;
  int line = 0;
};

// Records every assertion report while it lives; restores the previous sink and development
// stage afterwards.
class AssertRecorder final : public ZRMUtAssertSink {
public:
  explicit AssertRecorder(int developmentStage = 1)
      : mPrevious(ZRMUtSetAssertSink(this)), mPreviousStage(ZRMSetKRNDevelopmentStage(developmentStage)) {}
  AssertRecorder(const AssertRecorder&) = delete;
  AssertRecorder& operator=(const AssertRecorder&) = delete;
  ~AssertRecorder() override {
    ZRMSetKRNDevelopmentStage(mPreviousStage);
    ZRMUtSetAssertSink(mPrevious);
  }

  void OnAssertFailure(bool condition, const KRNUnicodeString& expression, const KRNUnicodeString& message,
                       const char* file, int line) override {
    reports.push_back({AssertReport::Failure, condition, expression.ConvertToChar(), message.ConvertToChar(), L"",
                       file ? file : "", line});
  }
  void OnRuntimeAssert(const std::wstring& text, const char* file, int line) override {
    reports.push_back({AssertReport::Runtime, false, "", "", text, file ? file : "", line});
  }

  std::vector<AssertReport> reports;

private:
  ZRMUtAssertSink* mPrevious;
  int mPreviousStage;
};

}  // namespace zrmtest

#endif
