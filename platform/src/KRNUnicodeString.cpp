#include "KRNUnicodeString.h"

// Assertion texts are ASCII; bytes are widened one to one.
KRNUnicodeString::KRNUnicodeString(const char* text) {
  if (text == nullptr) return;
  for (const char* c = text; *c != '\0'; ++c) mText.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*c)));
}

KRNUnicodeString::KRNUnicodeString(std::wstring text) : mText(std::move(text)) {}

std::string KRNUnicodeString::ConvertToChar() const {
  std::string narrow;
  narrow.reserve(mText.size());
  for (wchar_t c : mText) narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return narrow;
}
