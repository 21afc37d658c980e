#include "page_script.h"

#include "input_script.h"
#include "script_events.h"

#include "platform/frame_fit.h"
#include "platform/gfx/device.h"
#include "platform/input/input_devices.h"
#include "platform/web/virtual_clock_web.h"

#include <emscripten.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int SCRIPT_FPS = 60;

std::vector<ScriptEvent> s_events;
std::size_t s_nextEvent = 0;
std::set<long> s_shots;

// clang-format off
EM_JS(void, HandShotToPage, (long frame, const std::uint8_t* rgba, int width, int height), {
    const take = Module['tavelleShot'];
    if (take) take(frame, rgba ? HEAPU8.slice(rgba, rgba + width * height * 4) : null, width, height);
});
// clang-format on

void ApplyEventsUpTo(long frame) {
    while (s_nextEvent < s_events.size() && s_events[s_nextEvent].frame <= frame)
        ApplyScriptEvent(s_events[s_nextEvent++]);
}

// The frame before has been presented: its copy goes to the page, and the capture is
// on only for the frames wanted.
void BeforeScriptFrame(long frame) {
    if (s_shots.count(frame - 1))
        HandShotToPage(frame - 1, GetCapturedFrame(), GAME_FRAME_WIDTH, GAME_FRAME_HEIGHT);
    SetPresentCapture(s_shots.count(frame) > 0);
    ApplyEventsUpTo(frame);
}

} // namespace

const char* TavelleStartScript(const char* text, int drawShotsOnly) {
    static std::string error;
    error.clear();
    std::vector<ScriptEvent> events;
    if (!ParseInputScript(text, &events, &error))
        return error.c_str();
    s_events = std::move(events);
    s_nextEvent = 0;
    SetInputInjection(true);
    GfxDeviceSetup device;
    device.rasterizeUncapturedFrames = drawShotsOnly == 0;
    SetGfxDeviceSetup(device);
    StartVirtualClock(SCRIPT_FPS, BeforeScriptFrame);
    SetPresentCapture(s_shots.count(0) > 0);
    ApplyEventsUpTo(0);
    return "";
}

void TavelleWantShot(long frame) {
    s_shots.insert(frame);
}
