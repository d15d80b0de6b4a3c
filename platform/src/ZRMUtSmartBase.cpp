#include "ZRMUtSmartBase.h"

ZRMUtSmartBase::~ZRMUtSmartBase() = default;

void ZRMUtSmartBase::AddRef() const { ++mRefCount; }

void ZRMUtSmartBase::Release() const {
  if (--mRefCount == 0) delete this;  // the last reference destroys through the virtual destructor
}

void ZRMUtIntrusivePtrAddRef(const ZRMUtSmartBase* object) {
  if (object != nullptr) object->AddRef();
}

void ZRMUtIntrusivePtrRelease(const ZRMUtSmartBase* object) {
  if (object != nullptr) object->Release();
}
