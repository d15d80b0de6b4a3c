// IUnknown: root interface of the platform's component model. Three operations, in this slot
// order: QueryInterface, AddRef, Release.
//
// Part of our stand-in for the platform's component model (see KRNBaseUnknown.h). IUnknown
// declares no virtual destructor, so its three operations occupy the first three slots of every
// component's virtual table; objects are destroyed through KRNBaseUnknown's virtual destructor
// (by Release), never through an IUnknown pointer.
#ifndef IUnknown_h
#define IUnknown_h

#include "KRNGUID.h"
#include "KRNPlatformExport.h"

// Result codes of the component model: zero or positive is success, negative is failure.
using HRESULT = long;
using ULONG = unsigned long;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(-2147467263L);      // 0x80004001
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(-2147467262L);  // 0x80004002
constexpr HRESULT E_POINTER = static_cast<HRESULT>(-2147467261L);      // 0x80004003

// {00000000-0000-0000-C000-000000000046}
extern KRN_API const IID IID_IUnknown;

class KRN_API IUnknown {
public:
  // object := this object seen as the interface iid, with one reference added for the caller,
  // and S_OK; or null and E_NOINTERFACE when the object does not offer iid (E_POINTER when
  // object is null).
  virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
  // Adds one reference; returns the new count.
  virtual ULONG AddRef() = 0;
  // Drops one reference; the last one destroys the object. Returns the new count.
  virtual ULONG Release() = 0;

protected:
  IUnknown() = default;
  IUnknown(const IUnknown&) = default;
  IUnknown& operator=(const IUnknown&) = default;
  ~IUnknown() = default;
};

#endif
