// ZRMUtSmartBase: intrusive reference-counted base.
//
// The count lives in the object. A new object, and a copy-constructed one, start with no
// references; assignment copies nothing of the count (the target keeps its own). The last
// ZRMUtIntrusivePtrRelease destroys the object through its virtual destructor. Counting is not
// atomic: an object and its handles are used by one thread at a time.
#ifndef ZRMUtSmartBase_h
#define ZRMUtSmartBase_h

#include "KRNPlatformExport.h"

class KRN_API ZRMUtSmartBase {
public:
  ZRMUtSmartBase() noexcept;
  ZRMUtSmartBase(const ZRMUtSmartBase&) noexcept;
  ZRMUtSmartBase& operator=(const ZRMUtSmartBase&) noexcept { return *this; }
  virtual ~ZRMUtSmartBase();

  // Number of references currently held on this object.
  long GetRefCount() const noexcept { return mRefCount; }

  // Number of objects of this class and its derived classes alive in the process (constructed
  // and not yet destroyed): what leak checks in tests compare before and after.
  static long LiveObjectCount() noexcept;

protected:
  virtual void AddRef() const;
  virtual void Release() const;

private:
  friend KRN_API void ZRMUtIntrusivePtrAddRef(const ZRMUtSmartBase* object);
  friend KRN_API void ZRMUtIntrusivePtrRelease(const ZRMUtSmartBase* object);

  mutable long mRefCount;
};

// Take one reference on the object; null does nothing.
KRN_API void ZRMUtIntrusivePtrAddRef(const ZRMUtSmartBase* object);
// Drop one reference; the last one destroys the object. Null does nothing.
KRN_API void ZRMUtIntrusivePtrRelease(const ZRMUtSmartBase* object);

#endif
