#include "KRNBaseUnknown.h"

#include "KRNAllocator.h"
#include "KRNBaseUnknown_var.h"
#include "KRNMetaClass.h"

const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_KRNBaseUnknown = {0x6A1F0C3E, 0x52B4, 0x4D8A, {0x9E, 0x71, 0x0B, 0x3C, 0x5D, 0x7F, 0x9A, 0x24}};

KRNMetaClass* KRNBaseUnknown::meta_object = nullptr;

void* KRNBaseUnknown::operator new(std::size_t size) { return KRNAllocate(size); }
void KRNBaseUnknown::operator delete(void* block) noexcept { KRNFree(block); }

KRNBaseUnknown::KRNBaseUnknown() noexcept : mRefCount(1), mImpl(this), mComponentState(0) {}
KRNBaseUnknown::KRNBaseUnknown(const KRNBaseUnknown&) noexcept : KRNBaseUnknown() {}
KRNBaseUnknown::KRNBaseUnknown(KRNBaseUnknown&&) noexcept : KRNBaseUnknown() {}
KRNBaseUnknown& KRNBaseUnknown::operator=(const KRNBaseUnknown&) noexcept { return *this; }
KRNBaseUnknown& KRNBaseUnknown::operator=(KRNBaseUnknown&&) noexcept { return *this; }
KRNBaseUnknown::~KRNBaseUnknown() = default;

KRNMetaClass* KRNBaseUnknown::MetaObject() {
  if (meta_object == nullptr) meta_object = new KRNMetaClass(IID_KRNBaseUnknown, "KRNBaseUnknown", nullptr, nullptr, 0);
  return meta_object;
}

HRESULT KRNBaseUnknown::QueryInterface(const IID& iid, void** object) {
  if (object == nullptr) return E_POINTER;
  const KRNMetaClass* meta = GetMetaObject();
  if (iid != IID_IUnknown && (meta == nullptr || !meta->IsAKindOf(iid))) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  *object = static_cast<KRNBaseUnknown*>(this);
  return S_OK;
}

ULONG KRNBaseUnknown::AddRef() { return ++mRefCount; }

ULONG KRNBaseUnknown::Release() {
  const ULONG count = --mRefCount;
  if (count == 0) delete this;
  return count;
}

HRESULT KRNBaseUnknown::GetTypeInfoCount(unsigned int* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT KRNBaseUnknown::GetTypeInfo(unsigned int, unsigned long, void** typeInfo) {
  if (typeInfo != nullptr) *typeInfo = nullptr;
  return E_NOTIMPL;
}

HRESULT KRNBaseUnknown::GetIDsOfNames(const IID&, wchar_t**, unsigned int, unsigned long, long*) { return E_NOTIMPL; }

HRESULT KRNBaseUnknown::Invoke(long, const IID&, unsigned long, unsigned short, void*, void*, void*, unsigned int*) {
  return E_NOTIMPL;
}

KRNBaseUnknown* KRNBaseUnknown::QueryInterface(const char* interfaceName) const {
  if (!IsAKindOf(interfaceName)) return nullptr;
  KRNBaseUnknown* self = const_cast<KRNBaseUnknown*>(this);  // the answer is a counted, usable object
  self->AddRef();
  return self;
}

KRNMetaClass* KRNBaseUnknown::GetMetaObject() const { return MetaObject(); }

const char* KRNBaseUnknown::IsA() const {
  const KRNMetaClass* meta = GetMetaObject();
  return meta ? meta->GetClassName() : "";
}

bool KRNBaseUnknown::IsAKindOf(const char* className) const {
  const KRNMetaClass* meta = GetMetaObject();
  return meta != nullptr && meta->IsAKindOf(className);
}

KRNBaseUnknown* KRNBaseUnknown::GetImpl(int depth) const {
  const KRNBaseUnknown* object = this;
  for (int step = 0; depth < 0 || step < depth; ++step) {
    if (object->mImpl == nullptr || object->mImpl == object) return object->mImpl;
    object = object->mImpl;
  }
  return const_cast<KRNBaseUnknown*>(object);
}

void KRNBaseUnknown::SetImpl(KRNBaseUnknown* implementation) {
  if (implementation != this)
    for (const KRNBaseUnknown* object = implementation; object != nullptr; object = object->mImpl) {
      if (object == this) return;  // the chain passes through this object: a cycle
      if (object->mImpl == object) break;
    }
  mImpl = implementation;  // chains stay acyclic: every walk ends
}

bool KRNBaseUnknown::IsNull() const { return mImpl == nullptr; }

bool KRNBaseUnknown::IsEqual(const KRNBaseUnknown* other) const {
  if (other == nullptr) return false;
  const KRNBaseUnknown* implementation = GetImpl(-1);
  return implementation != nullptr && implementation == other->GetImpl(-1);
}

bool KRNBaseUnknown::ChangeComponentState(int fromState, int toState) {
  if (mComponentState != fromState) return false;
  mComponentState = toState;
  return true;
}

// ---------------------------------------------------------------------------------------------

KRNBaseUnknown_var::KRNBaseUnknown_var(KRNBaseUnknown* object) : mObject(object) {
  if (mObject != nullptr) mObject->AddRef();
}

KRNBaseUnknown_var::KRNBaseUnknown_var(const KRNBaseUnknown_var& other) : KRNBaseUnknown_var(other.mObject) {}

KRNBaseUnknown_var::KRNBaseUnknown_var(KRNBaseUnknown_var&& other) noexcept : mObject(other.mObject) {
  other.mObject = nullptr;
}

KRNBaseUnknown_var& KRNBaseUnknown_var::operator=(const KRNBaseUnknown_var& other) {
  KRNBaseUnknown* object = other.mObject;  // other may be *this
  if (object != nullptr) object->AddRef();
  Clear();
  mObject = object;
  return *this;
}

KRNBaseUnknown_var& KRNBaseUnknown_var::operator=(KRNBaseUnknown_var&& other) noexcept {
  if (this != &other) {
    Clear();
    mObject = other.mObject;
    other.mObject = nullptr;
  }
  return *this;
}

KRNBaseUnknown_var::~KRNBaseUnknown_var() { Clear(); }

void KRNBaseUnknown_var::CastTo(IUnknown* source, const IID& iid) {
  void* answer = nullptr;
  if (source != nullptr && source->QueryInterface(iid, &answer) < 0) answer = nullptr;
  KRNBaseUnknown* previous = mObject;
  mObject = static_cast<KRNBaseUnknown*>(answer);
  if (previous != nullptr) previous->Release();
}

void KRNBaseUnknown_var::Clear() noexcept {
  KRNBaseUnknown* previous = mObject;
  mObject = nullptr;
  if (previous != nullptr) previous->Release();
}
