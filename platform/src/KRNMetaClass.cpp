#include "KRNMetaClass.h"

#include "KRNAllocator.h"

const CLSID CLSID_KRNMetaClass = {0x9C1D6E52, 0x3F0A, 0x4B7E, {0xA1, 0xC4, 0x5D, 0x2E, 0x8F, 0x6B, 0x0A, 0x13}};

void* KRNMetaClass::operator new(std::size_t size) { return KRNAllocate(size); }
void KRNMetaClass::operator delete(void* block) noexcept { KRNFree(block); }

KRNMetaClass::KRNMetaClass(const IID& iid, const char* className, KRNMetaClass* parent, KRNMetaClass* second,
                           int classKind)
    : mIID(iid), mClassName(className ? className : ""), mParent(parent), mSecond(second), mClassKind(classKind) {}

KRNMetaClass::~KRNMetaClass() = default;

void KRNMetaClass::SetFWname(const char* frameworkName) { mFrameworkName = frameworkName ? frameworkName : ""; }

bool KRNMetaClass::IsAKindOf(const char* className) const {
  if (className == nullptr) return false;
  for (const KRNMetaClass* meta = this; meta != nullptr; meta = meta->mParent)
    if (meta->mClassName == className) return true;
  return false;
}

bool KRNMetaClass::IsAKindOf(const IID& iid) const {
  for (const KRNMetaClass* meta = this; meta != nullptr; meta = meta->mParent)
    if (meta->mIID == iid) return true;
  return false;
}
