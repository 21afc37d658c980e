// Some library calls leak memory by their own fault, whatever their caller does (a
// parser that loses a node). While a LibraryLeakIgnored lives, the leak check ignores
// what this thread allocates; each use wraps one such call and says which.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define TAVELLE_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAVELLE_LEAK_CHECKED 1
#endif
#endif

#ifdef TAVELLE_LEAK_CHECKED
#include <sanitizer/lsan_interface.h>

struct LibraryLeakIgnored {
    LibraryLeakIgnored() { __lsan_disable(); }
    ~LibraryLeakIgnored() { __lsan_enable(); }
    LibraryLeakIgnored(const LibraryLeakIgnored&) = delete;
    LibraryLeakIgnored& operator=(const LibraryLeakIgnored&) = delete;
};
#else
// Without the leak check the guard does nothing, but it still reads as a guard.
struct LibraryLeakIgnored {
    LibraryLeakIgnored() {}
    ~LibraryLeakIgnored() {}
};
#endif
