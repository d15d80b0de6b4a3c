// Internal: reporting of failed checks on caller input.
//
// ZRMReportCheck(ok, expression, message, file, line) does nothing when ok holds. Otherwise it
// reports through ZRMUtAssertFailure and, in the platform's development stage, also hands the
// runtime's assertion facility the wide text  ("message", expression)  with the same file and
// line. The operation then goes on. File and line are the library's reported source positions.
#ifndef ZRMCheck_h
#define ZRMCheck_h

// The report of a check that failed (kept out of line, so that the passing check inlines to a
// test and a branch).
void ZRMReportFailedCheck(const char* expression, const char* message, const char* file, int line);

inline void ZRMReportCheck(bool ok, const char* expression, const char* message, const char* file, int line) {
  if (!ok) ZRMReportFailedCheck(expression, message, file, line);
}

#endif
