#include "run_stats.h"

#include "frame_window.h"
#include "heap_counter.h"
#include "json_writer.h"

#include "app/frame_states.h"
#include "field/map_files.h"
#include "field/terrain.h"
#include "platform/files/host_files.h"
#include "render/render_setup.h"

#include "platform/window/message_box.h"

#include <cstdio>
#include <cstring>
#include <malloc.h>
#include <vector>

namespace {

constexpr int RECENT_FRAMES = 1000;
// Every map number the game can build, entry 0 included.
constexpr int COUNTED_MAPS = MAP_COUNT + 1;

struct RunStats {
    long fieldFrames = 0;
    long scenarioFrames = 0;
    long loadingFrames = 0;
    long skippedFrames = 0;
    long scenariosStarted = 0;
    long reloads = 0;
    long mapChanges = 0;
    bool mapsSeen[COUNTED_MAPS] = {};
    int lastMap = 0;
    bool fadeDrawn = false;
    // Allocations inside game frames: in all, and in field frames that stayed in
    // the field (no reload, no scenario) and built no map. The run's first field
    // frame and the first field frame of its first fade are not among them: there
    // the GL driver builds its draw code for those kinds of frame, once per run
    // (llvmpipe: some 20,000 and 450 allocations).
    std::uint64_t frameAllocations = 0;
    std::uint64_t steadyFieldAllocations = 0;
    long steadyFieldFrames = 0;
    long steadyFieldFramesAllocating = 0;
    FrameWindow<RECENT_FRAMES> recent;
    std::uint64_t before = 0;
    std::uint8_t stateBefore = 0;
};

RunStats s_stats;

std::uint64_t ReadStatusKilobytes(const char* field) {
    std::FILE* file = OpenHostFile("/proc/self/status", "r");
    if (!file)
        return 0;
    char line[256];
    unsigned long long kilobytes = 0;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, file)) {
        if (std::strncmp(line, field, length) == 0 && line[length] == ':') {
            std::sscanf(line + length + 1, "%llu", &kilobytes);
            break;
        }
    }
    std::fclose(file);
    return kilobytes * 1024;
}

bool IsLoading(std::uint8_t state) {
    return state == FRAME_PREPARE_LOADING || state == FRAME_SHOW_LOADING ||
           state == FRAME_STARTUP_LOAD;
}

long AllocationsOfRecentFrames() {
    return static_cast<long>(s_stats.recent.AddedByLastFrames());
}

std::vector<int> VisitedMaps() {
    std::vector<int> maps;
    for (int m = 0; m < COUNTED_MAPS; ++m) {
        if (s_stats.mapsSeen[m])
            maps.push_back(m);
    }
    return maps;
}

std::string Mebibytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
}

} // namespace

std::uint64_t GetResidentBytes() {
    return ReadStatusKilobytes("VmRSS");
}

std::uint64_t GetPeakResidentBytes() {
    return ReadStatusKilobytes("VmHWM");
}

long GetReloadCount() {
    return s_stats.reloads;
}

std::uint64_t GetHeapBytesInUse() {
    return mallinfo2().uordblks;
}

std::uint64_t GetFrameAllocations() {
    return s_stats.frameAllocations;
}

void BeginStatsFrame() {
    s_stats.stateBefore = g_frameNo;
    s_stats.before = GetHeapAllocationCount();
}

void EndStatsFrame() {
    const std::uint64_t made = GetHeapAllocationCount() - s_stats.before;
    const std::uint8_t state = s_stats.stateBefore;
    s_stats.frameAllocations += made;
    s_stats.recent.EndFrame(s_stats.frameAllocations);
    if (state == FRAME_FIELD)
        s_stats.fieldFrames++;
    else if (state == FRAME_SCENARIO)
        s_stats.scenarioFrames++;
    else if (IsLoading(state))
        s_stats.loadingFrames++;
    if (state == FRAME_FIELD && g_frameNo == FRAME_SCENARIO)
        s_stats.scenariosStarted++;
    if ((state == FRAME_FIELD || state == FRAME_SCENARIO) && g_frameNo == FRAME_PREPARE_LOADING)
        s_stats.reloads++;
    const bool mapChanged = g_builtMap != s_stats.lastMap;
    if (mapChanged) {
        if (s_stats.lastMap != 0)
            s_stats.mapChanges++;
        s_stats.lastMap = g_builtMap;
        if (g_builtMap >= 0 && g_builtMap < COUNTED_MAPS)
            s_stats.mapsSeen[g_builtMap] = true;
    }
    const bool fading = state == FRAME_FIELD && g_renderSet.fadeActive;
    const bool firstOfItsKind = s_stats.fieldFrames == 1 || (fading && !s_stats.fadeDrawn);
    s_stats.fadeDrawn = s_stats.fadeDrawn || fading;
    if (state == FRAME_FIELD && g_frameNo == FRAME_FIELD && !mapChanged && !firstOfItsKind) {
        s_stats.steadyFieldFrames++;
        s_stats.steadyFieldAllocations += made;
        if (made > 0)
            s_stats.steadyFieldFramesAllocating++;
    }
}

void CountSkippedFrame() {
    s_stats.skippedFrames++;
}

std::string StatsReportText(long framesRun) {
    std::string maps;
    for (int m : VisitedMaps())
        maps += (maps.empty() ? "" : " ") + std::to_string(m);
    std::string text;
    text += "frames run: " + std::to_string(framesRun) + "\n";
    text += "frame states: field " + std::to_string(s_stats.fieldFrames) + ", scenario " +
            std::to_string(s_stats.scenarioFrames) + ", loading " +
            std::to_string(s_stats.loadingFrames) + ", minimised " +
            std::to_string(s_stats.skippedFrames) + "\n";
    text += "maps visited: " + (maps.empty() ? std::string("none") : maps) + " (" +
            std::to_string(s_stats.mapChanges) + " map changes)\n";
    text += "scenarios started: " + std::to_string(s_stats.scenariosStarted) + "\n";
    text += "reloads: " + std::to_string(s_stats.reloads) + "\n";
    text += "messages shown: " + std::to_string(GetMessageBoxCount()) + "\n";
    text += "resident memory: peak " + Mebibytes(GetPeakResidentBytes()) + ", final " +
            Mebibytes(GetResidentBytes()) + "\n";
    if (IsHeapCounterAvailable()) {
        text += "heap allocations (operator new) in the last 1000 frames: " +
                std::to_string(AllocationsOfRecentFrames()) + "\n";
        text += "heap allocations (operator new) in steady field frames: " +
                std::to_string(s_stats.steadyFieldAllocations) + " in " +
                std::to_string(s_stats.steadyFieldFramesAllocating) + " of " +
                std::to_string(s_stats.steadyFieldFrames) + " frames\n";
    } else {
        text += "heap allocations: not counted in a sanitizer build\n";
    }
    return text;
}

std::string StatsReportJson(long framesRun) {
    JsonWriter json;
    json.BeginObject();
    json.Int("frames", framesRun);
    json.BeginObject("frameStates");
    json.Int("field", s_stats.fieldFrames);
    json.Int("scenario", s_stats.scenarioFrames);
    json.Int("loading", s_stats.loadingFrames);
    json.Int("minimised", s_stats.skippedFrames);
    json.EndObject();
    json.BeginArray("mapsVisited");
    for (int m : VisitedMaps())
        json.Int(nullptr, m);
    json.EndArray();
    json.Int("mapChanges", s_stats.mapChanges);
    json.Int("scenariosStarted", s_stats.scenariosStarted);
    json.Int("reloads", s_stats.reloads);
    json.Int("messages", GetMessageBoxCount());
    json.Int("peakResidentBytes", static_cast<long long>(GetPeakResidentBytes()));
    json.Int("finalResidentBytes", static_cast<long long>(GetResidentBytes()));
    json.Bool("heapCounter", IsHeapCounterAvailable());
    if (IsHeapCounterAvailable()) {
        json.Int("allocationsLast1000Frames", AllocationsOfRecentFrames());
        json.Int("steadyFieldFrames", s_stats.steadyFieldFrames);
        json.Int("steadyFieldFramesAllocating", s_stats.steadyFieldFramesAllocating);
        json.Int("steadyFieldAllocations", static_cast<long long>(s_stats.steadyFieldAllocations));
    }
    json.EndObject();
    return json.Text() + "\n";
}
