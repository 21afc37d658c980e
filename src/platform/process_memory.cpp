#include "platform/process_memory.h"

#include <malloc.h>

namespace {
// glibc's own starting value: blocks from 128 KiB up are mapped on their own.
constexpr int LARGE_ALLOCATION_BYTES = 128 * 1024;
} // namespace

void FixLargeAllocationThreshold() {
    mallopt(M_MMAP_THRESHOLD, LARGE_ALLOCATION_BYTES);
}
