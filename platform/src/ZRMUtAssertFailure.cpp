#include "ZRMUtAssertFailure.h"

#include <cstdio>

namespace {

// Writes each report as one line to stderr and returns.
class StderrSink final : public ZRMUtAssertSink {
public:
  void OnAssertFailure(bool condition, const KRNUnicodeString& expression, const KRNUnicodeString& message,
                       const char* file, int line) override {
    std::fprintf(stderr, "%s:%d: assertion failed%s: %s [%s]\n", file ? file : "?", line,
                 condition ? " (condition now holds)" : "", message.ConvertToChar().c_str(),
                 expression.ConvertToChar().c_str());
  }
  void OnRuntimeAssert(const std::wstring& text, const char* file, int line) override {
    std::fprintf(stderr, "%s:%d: runtime assertion %ls\n", file ? file : "?", line, text.c_str());
  }
};

StderrSink gDefaultSink;
ZRMUtAssertSink* gSink = &gDefaultSink;
int gDevelopmentStage = 0;

}  // namespace

ZRMUtAssertSink::~ZRMUtAssertSink() = default;

ZRMUtAssertSink* ZRMUtSetAssertSink(ZRMUtAssertSink* sink) {
  ZRMUtAssertSink* previous = gSink;
  gSink = sink ? sink : &gDefaultSink;
  return previous;
}

void ZRMUtAssertFailure(bool condition, const KRNUnicodeString& expression, const KRNUnicodeString& message,
                        const char* file, int line) {
  gSink->OnAssertFailure(condition, expression, message, file, line);
}

void KRNRuntimeAssert(const wchar_t* text, const char* file, int line) {
  gSink->OnRuntimeAssert(text ? std::wstring(text) : std::wstring(), file, line);
}

int ZRMGetKRNDevelopmentStage() { return gDevelopmentStage; }

int ZRMSetKRNDevelopmentStage(int stage) {
  const int previous = gDevelopmentStage;
  gDevelopmentStage = stage;
  return previous;
}
