// KRNBaseUnknown: base class of every component and interface of the platform's component model.
//
// This header, with IUnknown.h, KRNGUID.h, KRNMetaClass.h, KRNDictionary.h and
// KRNBaseUnknown_var.h, is our own small stand-in for the platform's component model: just what
// the mathematics library and its callers need to declare, register, query and hold interfaces.
// Nothing of a component runtime (class factories, late binding, type libraries) is provided.
//
// Virtual operations, in slot order:
//   QueryInterface(const IID&, void**), AddRef(), Release()            (from IUnknown)
//   GetTypeInfoCount, GetTypeInfo, GetIDsOfNames, Invoke                (automation; our stand-in
//                                                                        offers no type information)
//   QueryInterface(const char*) const, the destructor, GetMetaObject() const, IsA() const,
//   IsAKindOf(const char*) const, GetImpl(int) const, SetImpl(KRNBaseUnknown*), IsNull() const,
//   IsEqual(const KRNBaseUnknown*) const, ChangeComponentState
//
// Reference counting: a new object, and a copy-constructed one, start with one reference (the
// creator's); assignment copies nothing of the count. The last Release destroys the object, so
// counted objects must be allocated with new (the class's own allocation operators). Counting is
// not atomic: an object is used by one thread at a time.
//
// Implementation link (our choice): each object names the object that implements it; that is
// itself until SetImpl names another (a delegate) or null (a null object, see IsNull).
//
// Kinds: an object's kind is its meta-class (GetMetaObject) and that meta-class's parents.
// Classes override GetMetaObject to return their own meta-class; QueryInterface answers the
// identifiers of that chain (and IID_IUnknown) with the object itself. A class that offers
// interfaces outside its single parent chain overrides QueryInterface.
#ifndef KRNBaseUnknown_h
#define KRNBaseUnknown_h

#include "IUnknown.h"
#include "KRNPlatformExport.h"

#include <cstddef>

class KRNMetaClass;

// {6A1F0C3E-52B4-4D8A-9E71-0B3C5D7F9A24} (our choice).
extern KRN_API const IID IID_KRNBaseUnknown;

class KRN_API KRNBaseUnknown : public IUnknown {
public:
  // The platform's object allocator (shared with KRNException); never yields null.
  static void* operator new(std::size_t size);
  static void operator delete(void* block) noexcept;

  KRNBaseUnknown() noexcept;
  KRNBaseUnknown(const KRNBaseUnknown&) noexcept;
  KRNBaseUnknown(KRNBaseUnknown&&) noexcept;
  // Copies nothing: the count, the implementation link and the state stay the target's own.
  KRNBaseUnknown& operator=(const KRNBaseUnknown&) noexcept;
  KRNBaseUnknown& operator=(KRNBaseUnknown&&) noexcept;

  // The meta-class "KRNBaseUnknown" (no parent), created on first call, never destroyed.
  static KRNMetaClass* MetaObject();

  HRESULT QueryInterface(const IID& iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  // count := 0 (no type information); E_POINTER for null.
  virtual HRESULT GetTypeInfoCount(unsigned int* count);
  // E_NOTIMPL; typeInfo (when not null) := null.
  virtual HRESULT GetTypeInfo(unsigned int index, unsigned long locale, void** typeInfo);
  // E_NOTIMPL.
  virtual HRESULT GetIDsOfNames(const IID& iid, wchar_t** names, unsigned int count, unsigned long locale, long* ids);
  // E_NOTIMPL.
  virtual HRESULT Invoke(long member, const IID& iid, unsigned long locale, unsigned short flags, void* parameters,
                         void* result, void* exceptionInfo, unsigned int* argumentError);

  // This object with one reference added when it is a kind of the named class or interface;
  // otherwise (and for null) null. The result is non-const as for the identifier form.
  virtual KRNBaseUnknown* QueryInterface(const char* interfaceName) const;

  virtual ~KRNBaseUnknown();

  // The meta-class of this object's class; KRNBaseUnknown::MetaObject() here.
  virtual KRNMetaClass* GetMetaObject() const;
  // The class name of this object's meta-class.
  virtual const char* IsA() const;
  // True when this object's meta-class chain has the given name.
  virtual bool IsAKindOf(const char* className) const;

  // The object reached by following the implementation link up to depth times from this one
  // (a negative depth: to the end of the chain, an object that implements itself). GetImpl(0)
  // is this object; null when a link on the way is null.
  virtual KRNBaseUnknown* GetImpl(int depth) const;
  // Names the implementing object (null: this object becomes a null object; this object: the
  // link is reset). The caller keeps the implementing object alive; no reference is taken. A
  // link whose chain leads back to this object would close a cycle and is ignored.
  virtual void SetImpl(KRNBaseUnknown* implementation);
  // True when this object's implementation link is null.
  virtual bool IsNull() const;
  // True when other is not null and both objects end their implementation chains at the same
  // (non-null) object.
  virtual bool IsEqual(const KRNBaseUnknown* other) const;

  // Moves the component from state fromState to toState: true when the current state was
  // fromState (now toState), false otherwise (unchanged). A new object is in state 0.
  virtual bool ChangeComponentState(int fromState, int toState);

  int GetComponentState() const { return mComponentState; }
  ULONG GetRefCount() const { return mRefCount; }

  static KRNMetaClass* meta_object;

private:
  ULONG mRefCount;
  KRNBaseUnknown* mImpl;  // this object, a delegate, or null
  int mComponentState;
};

#endif
