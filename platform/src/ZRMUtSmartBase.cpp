#include "ZRMUtSmartBase.h"

namespace {
long gLiveObjects = 0;  // not atomic, as the counts: one thread at a time
}  // namespace

ZRMUtSmartBase::ZRMUtSmartBase() noexcept : mRefCount(0) { ++gLiveObjects; }

ZRMUtSmartBase::ZRMUtSmartBase(const ZRMUtSmartBase&) noexcept : mRefCount(0) { ++gLiveObjects; }

ZRMUtSmartBase::~ZRMUtSmartBase() { --gLiveObjects; }

long ZRMUtSmartBase::LiveObjectCount() noexcept { return gLiveObjects; }

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
