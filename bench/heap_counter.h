#pragma once
// Heap use as the program's own allocations see it: a replacement of the
// global operator new and delete (heap_counter.cpp) counts each block at its
// usable size plus the allocator's header. Linked only into the programs that
// report memory figures.
#include <cstddef>

namespace horalis::bench {

size_t heapBytesInUse();
size_t heapPeakBytes();
// Starts a new peak at the bytes in use now.
void resetHeapPeak();

}  // namespace horalis::bench
