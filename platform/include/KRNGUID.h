// GUID: a 128-bit identifier of interfaces and classes of the platform's component model, in
// the usual layout (one 32-bit, two 16-bit fields and eight bytes; 16 bytes in all).
//
// Part of our stand-in for the platform's component model (see KRNBaseUnknown.h).
#ifndef KRNGUID_h
#define KRNGUID_h

#include <cstdint>

struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16, "a GUID is 16 bytes");

// Interface identifier and class identifier: both are GUIDs.
using IID = GUID;
using CLSID = GUID;

// Field-wise equality.
constexpr bool operator==(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}
constexpr bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }

// Strict order: lexicographic over Data1, Data2, Data3, then the eight bytes of Data4.
constexpr bool operator<(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1) return a.Data1 < b.Data1;
  if (a.Data2 != b.Data2) return a.Data2 < b.Data2;
  if (a.Data3 != b.Data3) return a.Data3 < b.Data3;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return a.Data4[i] < b.Data4[i];
  return false;
}

#endif
