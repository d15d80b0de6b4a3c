#include "KRNException.h"
#include "KRNAllocator.h"
#include "KRNError.h"
#include "ZRMUtError.h"

#include <cstring>

void* KRNException::operator new(std::size_t size) { return KRNAllocate(size); }
void KRNException::operator delete(void* block) noexcept { KRNFree(block); }

KRNException::KRNException() = default;
KRNException::~KRNException() = default;

const char* KRNException::ClassName() { return "KRNException"; }
const char* KRNException::GetClassName() const { return ClassName(); }

bool KRNException::IsAKindOf(const char* className) const {
  return className != nullptr && std::strcmp(className, ClassName()) == 0;
}

const char* KRNException::GetMessageText() const { return "platform exception"; }

void KRNException::Throw(const char* file, int line, void* data) {
  mFile = file;
  mLine = line;
  mData = data;
  throw this;
}

void KRNException::Dispose(KRNException* raised) noexcept { delete raised; }

// ---------------------------------------------------------------------------------------------

KRNError::KRNError() = default;
KRNError::~KRNError() = default;

const char* KRNError::ClassName() { return "KRNError"; }
const char* KRNError::GetClassName() const { return ClassName(); }

bool KRNError::IsAKindOf(const char* className) const {
  return (className != nullptr && std::strcmp(className, ClassName()) == 0) || KRNException::IsAKindOf(className);
}

const char* KRNError::GetMessageText() const { return "platform error"; }

void KRNError::Flush(KRNError* error) noexcept { delete error; }

// ---------------------------------------------------------------------------------------------

ZRMUtError::ZRMUtError(ValidErrors_e code) : mCode(code) {}
ZRMUtError::~ZRMUtError() = default;

const char* ZRMUtError::ClassName() { return "ZRMUtError"; }
const char* ZRMUtError::GetClassName() const { return ClassName(); }

bool ZRMUtError::IsAKindOf(const char* className) const {
  return (className != nullptr && std::strcmp(className, ClassName()) == 0) || KRNError::IsAKindOf(className);
}

const char* ZRMUtError::GetMessageText() const {
  switch (mCode) {
    case IndexOutOfRange: return "index or position outside a vector";
    case InvalidIterator: return "iterator bound to no container or not on an element";
  }
  return "container error";
}

void ZRMUtRaise(ZRMUtError::ValidErrors_e code, const char* file, int line) {
  ZRMUtError* error = new ZRMUtError(code);
  error->KRNException::Throw(file, line, nullptr);
}
