// What a run did, for the end report of the driver: frames by frame state, maps,
// scenarios, messages, resident memory and the heap allocations of the game's frames.
#pragma once

#include <cstdint>
#include <string>

// Call around each frame the game runs (the frame function and the mixer pump).
void BeginStatsFrame();
void EndStatsFrame();
// Counts a driver frame in which the window was minimised and no game frame ran.
void CountSkippedFrame();

// Resident memory now and at its peak, in bytes (0 when the system does not say).
std::uint64_t GetResidentBytes();
std::uint64_t GetPeakResidentBytes();
// Bytes the C library's allocator has handed out and not yet got back.
std::uint64_t GetHeapBytesInUse();
// Reloads (F1 in the field or a scenario) so far.
long GetReloadCount();
// Heap allocations made inside the game's frames so far.
std::uint64_t GetFrameAllocations();

// The report as text lines and as a JSON object.
std::string StatsReportText(long framesRun);
std::string StatsReportJson(long framesRun);
