// Root of every object the platform raises.
//
// A platform error is a heap object. It is raised by its virtual Throw(file, line, data), which
// records where it was raised and throws the object's address as a C++ exception of type
// KRNException*. Whoever catches it owns it and disposes of it with KRNException::Dispose (or
// KRNError::Flush for an error), or lets KRNXHContext / KRNExceptionOwner do that.
//
//   try { ... }
//   catch (KRNException* raised) {
//     KRNExceptionOwner owner(raised);        // disposed of at the end of the scope
//     if (raised->IsAKindOf(KRNError::ClassName())) ...
//   }
#ifndef KRNException_h
#define KRNException_h

#include "KRNPlatformExport.h"

#include <cstddef>

class KRN_API KRNException {
public:
  // The platform's allocation operators: every raised object is allocated with them.
  static void* operator new(std::size_t size);
  static void operator delete(void* block) noexcept;

  KRNException();
  KRNException(const KRNException&) = delete;
  KRNException& operator=(const KRNException&) = delete;
  virtual ~KRNException();

  // Name of this object's class; IsAKindOf compares against it and those of the bases.
  static const char* ClassName();
  virtual const char* GetClassName() const;
  virtual bool IsAKindOf(const char* className) const;

  // Human-readable text of the failure (never null).
  virtual const char* GetMessageText() const;

  // Records (file, line, data) and throws this object as KRNException*. Never returns.
  [[noreturn]] virtual void Throw(const char* file, int line, void* data);

  const char* GetFile() const { return mFile; }
  int GetLine() const { return mLine; }
  void* GetData() const { return mData; }

  // Destroys a caught object (null is allowed).
  static void Dispose(KRNException* raised) noexcept;

private:
  const char* mFile = nullptr;
  int mLine = 0;
  void* mData = nullptr;
};

// Owns a caught platform object for one scope and disposes of it at the end.
class KRNExceptionOwner {
public:
  explicit KRNExceptionOwner(KRNException* raised) noexcept : mRaised(raised) {}
  KRNExceptionOwner(const KRNExceptionOwner&) = delete;
  KRNExceptionOwner& operator=(const KRNExceptionOwner&) = delete;
  ~KRNExceptionOwner() { KRNException::Dispose(mRaised); }
  KRNException* Get() const noexcept { return mRaised; }
  KRNException* Release() noexcept {
    KRNException* raised = mRaised;
    mRaised = nullptr;
    return raised;
  }

private:
  KRNException* mRaised;
};

#endif
