// Internal: reporting of failed checks on caller input.
//
// ZRMReportCheck(ok, expression, message, file, line) does nothing when ok holds. Otherwise it
// reports through ZRMUtAssertFailure and, in the platform's development stage, also hands the
// runtime's assertion facility the wide text  ("message", expression)  with the same file and
// line. The operation then goes on. File and line are the library's reported source positions.
#ifndef ZRMCheck_h
#define ZRMCheck_h

#include "KRNUnicodeString.h"
#include "ZRMUtAssertFailure.h"

#include <string>

inline void ZRMReportCheck(bool ok, const char* expression, const char* message, const char* file, int line) {
  if (ok) return;
  ZRMUtAssertFailure(ok, KRNUnicodeString(expression), KRNUnicodeString(message), file, line);
  if (ZRMGetKRNDevelopmentStage() != 0) {
    const std::wstring text = L"(\"" + KRNUnicodeString(message).ConvertToWChar() + L"\", " +
                              KRNUnicodeString(expression).ConvertToWChar() + L")";
    KRNRuntimeAssert(text.c_str(), file, line);
  }
}

#endif
