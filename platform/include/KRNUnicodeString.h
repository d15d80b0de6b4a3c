// KRNUnicodeString: the platform's text type, used here for assertion texts.
#ifndef KRNUnicodeString_h
#define KRNUnicodeString_h

#include "KRNPlatformExport.h"

#include <string>

class KRN_API KRNUnicodeString {
public:
  KRNUnicodeString() = default;
  KRNUnicodeString(const char* text);  // NOLINT(google-explicit-constructor): built from literals
  explicit KRNUnicodeString(std::wstring text);

  // The text as UTF-8 and as a wide string.
  std::string ConvertToChar() const;
  const std::wstring& ConvertToWChar() const { return mText; }

  bool operator==(const KRNUnicodeString& other) const { return mText == other.mText; }

private:
  std::wstring mText;
};

#endif
