// ZRMCheck: the report of a failed check.
#include "ZRMCheck.h"

#include "KRNUnicodeString.h"
#include "ZRMUtAssertFailure.h"

#include <string>

void ZRMReportFailedCheck(const char* expression, const char* message, const char* file, int line) {
  ZRMUtAssertFailure(false, KRNUnicodeString(expression), KRNUnicodeString(message), file, line);
  if (ZRMGetKRNDevelopmentStage() != 0) {
    const std::wstring text = L"(\"" + KRNUnicodeString(message).ConvertToWChar() + L"\", " +
                              KRNUnicodeString(expression).ConvertToWChar() + L")";
    KRNRuntimeAssert(text.c_str(), file, line);
  }
}
