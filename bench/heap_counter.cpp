#include "bench/heap_counter.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

namespace {

size_t inUse = 0;
size_t peak = 0;

size_t blockBytes(void* p) { return malloc_usable_size(p) + sizeof(size_t); }

}  // namespace

namespace horalis::bench {

size_t heapBytesInUse() { return inUse; }
size_t heapPeakBytes() { return peak; }
void resetHeapPeak() { peak = inUse; }

}  // namespace horalis::bench

void* operator new(size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    inUse += blockBytes(p);
    if (inUse > peak) peak = inUse;
    return p;
}

void* operator new[](size_t size) { return operator new(size); }

// These pair with the malloc in operator new above.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
    if (p == nullptr) return;
    inUse -= blockBytes(p);
    std::free(p);
}
#pragma GCC diagnostic pop
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, size_t) noexcept { operator delete(p); }
void operator delete[](void* p, size_t) noexcept { operator delete(p); }
