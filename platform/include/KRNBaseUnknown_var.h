// KRNBaseUnknown_var: smart handle on a component. While it holds an object it owns one
// reference on it; copying adds one, destruction and replacement release one.
//
// Typed handles (<Interface>_var) derive from it. Each is built from an arbitrary interface
// pointer through its private __CastTo, which calls CastTo with the interface's identifier: the
// handle then holds what the object answers to QueryInterface for that identifier, or nothing.
//
// Part of our stand-in for the platform's component model (see KRNBaseUnknown.h).
#ifndef KRNBaseUnknown_var_h
#define KRNBaseUnknown_var_h

#include "KRNBaseUnknown.h"
#include "KRNPlatformExport.h"

class KRN_API KRNBaseUnknown_var {
public:
  KRNBaseUnknown_var() noexcept : mObject(nullptr) {}
  // Holds object (null allowed), adding one reference.
  KRNBaseUnknown_var(KRNBaseUnknown* object);
  KRNBaseUnknown_var(const KRNBaseUnknown_var& other);
  KRNBaseUnknown_var(KRNBaseUnknown_var&& other) noexcept;
  KRNBaseUnknown_var& operator=(const KRNBaseUnknown_var& other);
  KRNBaseUnknown_var& operator=(KRNBaseUnknown_var&& other) noexcept;
  ~KRNBaseUnknown_var();

  KRNBaseUnknown* operator->() const { return mObject; }
  KRNBaseUnknown* GetObject() const { return mObject; }
  bool IsNull() const { return mObject == nullptr; }
  explicit operator bool() const { return mObject != nullptr; }

protected:
  // Holds what source answers to QueryInterface(iid) (whose reference the handle keeps), or
  // nothing when source is null or does not offer iid; the previously held object is released
  // afterwards, so source may be that object.
  // Every interface derives singly from KRNBaseUnknown, so the answered address is also that of
  // its KRNBaseUnknown.
  void CastTo(IUnknown* source, const IID& iid);

private:
  // Releases the held object, if any, and holds none.
  void Clear() noexcept;

  KRNBaseUnknown* mObject;
};

#endif
