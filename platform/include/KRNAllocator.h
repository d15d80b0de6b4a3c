// The platform's object allocator: the one block allocator behind the class-specific
// allocation operators of platform objects (KRNException, KRNBaseUnknown, KRNMetaClass).
#ifndef KRNAllocator_h
#define KRNAllocator_h

#include "KRNPlatformExport.h"

#include <cstddef>

// A block of at least size bytes; throws std::bad_alloc when none can be had (never null).
KRN_API void* KRNAllocate(std::size_t size);
// Frees a block from KRNAllocate; null is allowed.
KRN_API void KRNFree(void* block) noexcept;

#endif
