// ZRMUtError: the error the container templates raise.
//
//   0x80000000  IndexOutOfRange   an index or position outside a vector
//   0x80000001  InvalidIterator   an iterator bound to no container or not on an element
//
// Raised with ZRMUtRaise(code, file, line), which allocates the error, constructs it and calls
// Throw(file, line, nullptr); the caller catches KRNException* (see KRNException.h).
#ifndef ZRMUtError_h
#define ZRMUtError_h

#include "KRNError.h"

class KRN_API ZRMUtError : public KRNError {
public:
  enum ValidErrors_e : unsigned int { IndexOutOfRange = 0x80000000u, InvalidIterator = 0x80000001u };

  explicit ZRMUtError(ValidErrors_e code);
  ~ZRMUtError() override;

  static const char* ClassName();
  const char* GetClassName() const override;
  bool IsAKindOf(const char* className) const override;
  const char* GetMessageText() const override;

  ValidErrors_e GetCode() const { return mCode; }

private:
  ValidErrors_e mCode;
};

// Allocates a ZRMUtError with the given code and raises it from (file, line). Never returns.
[[noreturn]] KRN_API void ZRMUtRaise(ZRMUtError::ValidErrors_e code, const char* file, int line);

#endif
