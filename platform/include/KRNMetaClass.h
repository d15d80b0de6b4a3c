// KRNMetaClass: the description of one class or interface of the platform's component model:
// its identifier, class name, parent meta-class, a second meta-class, a class-kind code and the
// name of the framework (library) that declares it.
//
// Part of our stand-in for the platform's component model (see KRNBaseUnknown.h).
//
// Our choices: the names are copied into the object; the second meta-class and the class-kind
// code are stored and readable but give no behaviour (the kind code 8 marks an interface);
// IsAKindOf follows the parent chain only. Meta-class objects are made with their own
// allocation operator and are meant to live for the rest of the process.
#ifndef KRNMetaClass_h
#define KRNMetaClass_h

#include "KRNGUID.h"
#include "KRNPlatformExport.h"

#include <cstddef>
#include <string>

class KRN_API KRNMetaClass {
public:
  // Class-kind code of an interface.
  static constexpr int InterfaceKind = 8;

  // Allocation through the platform's object allocator; never yields null (throws
  // std::bad_alloc instead).
  static void* operator new(std::size_t size);
  static void operator delete(void* block) noexcept;

  // className null is taken as "".
  KRNMetaClass(const IID& iid, const char* className, KRNMetaClass* parent, KRNMetaClass* second, int classKind);
  KRNMetaClass(const KRNMetaClass&) = delete;
  KRNMetaClass& operator=(const KRNMetaClass&) = delete;
  ~KRNMetaClass();

  // Records the name of the framework that declares the class (null is taken as "").
  void SetFWname(const char* frameworkName);

  const IID& GetClassId() const { return mIID; }
  const char* GetClassName() const { return mClassName.c_str(); }
  KRNMetaClass* GetParent() const { return mParent; }
  KRNMetaClass* GetSecondMetaClass() const { return mSecond; }
  int GetClassKind() const { return mClassKind; }
  // "" until SetFWname is called.
  const char* GetFWname() const { return mFrameworkName.c_str(); }

  // True when this class or one of its parents (followed through GetParent) has the given
  // class name; false for null.
  bool IsAKindOf(const char* className) const;
  // Same test by identifier.
  bool IsAKindOf(const IID& iid) const;

private:
  IID mIID;
  std::string mClassName;
  KRNMetaClass* mParent;
  KRNMetaClass* mSecond;
  int mClassKind;
  std::string mFrameworkName;
};

// Class identifier of meta-class objects, the class of every "MetaObject" dictionary entry.
// {9C1D6E52-3F0A-4B7E-A1C4-5D2E8F6B0A13} (our choice).
extern KRN_API const CLSID CLSID_KRNMetaClass;

#endif
