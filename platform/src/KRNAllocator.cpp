#include "KRNAllocator.h"

#include <cstdlib>
#include <new>

void* KRNAllocate(std::size_t size) {
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

void KRNFree(void* block) noexcept { std::free(block); }
