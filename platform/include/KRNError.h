// KRNError: the platform's error class, the kind that error-trapping contexts absorb.
#ifndef KRNError_h
#define KRNError_h

#include "KRNException.h"

class KRN_API KRNError : public KRNException {
public:
  KRNError();
  ~KRNError() override;

  static const char* ClassName();
  const char* GetClassName() const override;
  bool IsAKindOf(const char* className) const override;
  const char* GetMessageText() const override;

  // Disposes of a trapped error (null is allowed).
  static void Flush(KRNError* error) noexcept;
};

#endif
