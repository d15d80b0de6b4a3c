// Assertion reporting of the platform.
//
// Checks on caller input are reported, never fatal: ZRMUtAssertFailure is called after a check
// failed, with the check evaluated again, and returns. When ZRMGetKRNDevelopmentStage() is
// non-zero the caller also hands the runtime's assertion facility (KRNRuntimeAssert) a wide
// text. Every report goes to the current ZRMUtAssertSink; the default sink writes one line to
// stderr and returns, so a report never stops the program.
#ifndef ZRMUtAssertFailure_h
#define ZRMUtAssertFailure_h

#include "KRNPlatformExport.h"
#include "KRNUnicodeString.h"

#include <string>

// Receiver of assertion reports. Install one with ZRMUtSetAssertSink (tests do).
class KRN_API ZRMUtAssertSink {
public:
  virtual ~ZRMUtAssertSink();
  // A ZRMUtAssertFailure report.
  virtual void OnAssertFailure(bool condition, const KRNUnicodeString& expression, const KRNUnicodeString& message,
                               const char* file, int line) = 0;
  // A report of the runtime's assertion facility.
  virtual void OnRuntimeAssert(const std::wstring& text, const char* file, int line) = 0;
};

// Installs a sink (null restores the default stderr sink); returns the previous one.
KRN_API ZRMUtAssertSink* ZRMUtSetAssertSink(ZRMUtAssertSink* sink);

// Reports a failed check; returns.
KRN_API void ZRMUtAssertFailure(bool condition, const KRNUnicodeString& expression, const KRNUnicodeString& message,
                                const char* file, int line);

// The runtime's assertion facility: reports the text; returns.
KRN_API void KRNRuntimeAssert(const wchar_t* text, const char* file, int line);

// Development stage of the platform: 0 in production (the default), non-zero in development.
KRN_API int ZRMGetKRNDevelopmentStage();
// Sets the development stage; returns the previous one. For tests and development tools.
KRN_API int ZRMSetKRNDevelopmentStage(int stage);

#endif
