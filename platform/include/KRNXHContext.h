// KRNXHContext: an error-trapping context around one guarded call.
//
// Run(call) invokes call(). A platform object raised inside it (a KRNException*) comes back to
// the context instead of passing on: Run returns false and Trapped() hands the object over;
// the caller must dispose of it (KRNError::Flush, KRNException::Dispose or Throw again).
// Anything else thrown passes through untouched. A context left with an object still held
// disposes of it.
#ifndef KRNXHContext_h
#define KRNXHContext_h

#include "KRNException.h"

#include <utility>

class KRNXHContext {
public:
  KRNXHContext() = default;
  KRNXHContext(const KRNXHContext&) = delete;
  KRNXHContext& operator=(const KRNXHContext&) = delete;
  ~KRNXHContext() { KRNException::Dispose(mTrapped); }

  // True when call() returned normally; false when it raised a platform object.
  template <class Call>
  bool Run(Call&& call) {
    try {
      std::forward<Call>(call)();
      return true;
    } catch (KRNException* raised) {
      KRNException::Dispose(mTrapped);
      mTrapped = raised;
      return false;
    }
  }

  // Hands over the trapped object (null when none); the context no longer owns it.
  KRNException* Trapped() noexcept {
    KRNException* raised = mTrapped;
    mTrapped = nullptr;
    return raised;
  }

private:
  KRNException* mTrapped = nullptr;
};

#endif
