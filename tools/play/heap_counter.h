// Counts the heap allocations made through operator new anywhere in the driver
// process (game, platform and C++ libraries), so that runs can show which frames
// allocate. Memory taken with malloc directly (C libraries, the GL driver) is not
// counted. Sanitizer builds keep their own allocator: there the counter is off.
#pragma once

#include <cstdint>

// False in sanitizer builds, where operator new is left to the sanitizer.
bool IsHeapCounterAvailable();
// Allocations so far; 0 when the counter is off.
std::uint64_t GetHeapAllocationCount();
