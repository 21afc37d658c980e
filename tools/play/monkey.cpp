#include "monkey.h"

#include "core/frame_state.h"
#include "field/characters.h"
#include "field/events.h"
#include "field/terrain.h"
#include "render/camera.h"
#include "render/render_setup.h"
#include "scenario/links.h"

#include "platform/input/key_codes.h"

#include <algorithm>

namespace {

struct Monkey {
    std::uint64_t state = 0;
    int rate = 0;
    int reloadShare = 0;
    // Events already decided for later frames (button releases, drag moves, restores).
    std::vector<ScriptEvent> pending;
    // No new action starts before this frame: the one under way is still running.
    long busyUntil = 0;
};

Monkey s_monkey;

// splitmix64: small, fast and the same on every platform and library.
std::uint64_t NextRandom() {
    std::uint64_t z = (s_monkey.state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// A whole number in [low, high].
int RandomInt(int low, int high) {
    return low + static_cast<int>(NextRandom() % static_cast<std::uint64_t>(high - low + 1));
}

struct Point {
    int x, y;
};

Point Anywhere() {
    return {RandomInt(0, SCREEN_WIDTH - 1), RandomInt(0, SCREEN_HEIGHT - 1)};
}

// The pixel where a world point appears; false when it lies behind the camera or off screen.
bool ProjectToScreen(const Vec3& world, Point* out) {
    const Vec3 seen = ProjectWorldPoint(g_camera.view, g_camera.projection, world);
    if (!(seen.z > 0.0f && seen.z < 1.0f) || seen.x < 0.0f || seen.x > SCREEN_WIDTH ||
        seen.y < 0.0f || seen.y > SCREEN_HEIGHT)
        return false;
    out->x = std::clamp(static_cast<int>(seen.x), 0, SCREEN_WIDTH - 1);
    out->y = std::clamp(static_cast<int>(seen.y), 0, SCREEN_HEIGHT - 1);
    return true;
}

// A point of the map's ground: map cells are two world units square.
bool GroundPoint(Point* out) {
    const int w = std::clamp(g_mapTerrain.W, 1, MAP_MAX_CELLS);
    const int h = std::clamp(g_mapTerrain.H, 1, MAP_MAX_CELLS);
    const Vec3 world{static_cast<float>(RandomInt(0, w * 200)) / 100.0f, 0.0f,
                     static_cast<float>(RandomInt(0, h * 200)) / 100.0f};
    return ProjectToScreen(world, out);
}

bool MarkerPoint(Point* out) {
    int candidates[EVENT_OBJECT_COUNT];
    int count = 0;
    for (int i = 0; i < EVENT_OBJECT_COUNT; ++i) {
        if (g_eventObjects[i].active)
            candidates[count++] = i;
    }
    return count > 0 &&
           ProjectToScreen(g_eventObjects[candidates[RandomInt(0, count - 1)]].position, out);
}

bool CharacterPoint(Point* out) {
    int candidates[FIELD_CHARACTER_COUNT];
    int count = 0;
    for (int i = 1; i < FIELD_CHARACTER_COUNT; ++i) {
        if (g_fieldCharacters[i].active)
            candidates[count++] = i;
    }
    return count > 0 &&
           ProjectToScreen(g_fieldCharacters[candidates[RandomInt(0, count - 1)]].position, out);
}

bool LinkPoint(Point* out) {
    int candidates[LINK_COUNT];
    int count = 0;
    for (int i = 0; i < LINK_COUNT; ++i) {
        if (g_links[i].present)
            candidates[count++] = i;
    }
    if (count == 0)
        return false;
    const ScreenQuad& quad = g_links[candidates[RandomInt(0, count - 1)]].quad;
    const int left = static_cast<int>(quad.v[0].x), top = static_cast<int>(quad.v[0].y);
    const int right = static_cast<int>(quad.v[2].x), bottom = static_cast<int>(quad.v[2].y);
    if (right <= left || bottom <= top)
        return false;
    out->x = std::clamp(RandomInt(left, right - 1), 0, SCREEN_WIDTH - 1);
    out->y = std::clamp(RandomInt(top, bottom - 1), 0, SCREEN_HEIGHT - 1);
    return true;
}

// Where the next click or drag goes: mostly at something the state shows.
Point ChooseTarget() {
    Point point{};
    const int roll = RandomInt(0, 99);
    if (g_frameNo == FRAME_SCENARIO) {
        if (roll < 60 && LinkPoint(&point))
            return point;
    } else if (g_frameNo == FRAME_FIELD) {
        if (roll < 30 && GroundPoint(&point))
            return point;
        if (roll >= 30 && roll < 55 && MarkerPoint(&point))
            return point;
        if (roll >= 55 && roll < 80 && CharacterPoint(&point))
            return point;
    }
    return Anywhere();
}

void Add(std::vector<ScriptEvent>* events, long frame, ScriptEventType type, int x = 0, int y = 0,
         int button = 0, int key = 0) {
    events->push_back(ScriptEvent{frame, type, x, y, button, key, 0.0, 0.0, {}, {}});
}

void StartClick(long frame, int button, std::vector<ScriptEvent>* now) {
    const Point at = ChooseTarget();
    const long up = frame + RandomInt(1, 6);
    Add(now, frame, SCRIPT_MOVE, at.x, at.y);
    Add(now, frame, SCRIPT_DOWN, 0, 0, button);
    Add(&s_monkey.pending, up, SCRIPT_UP, 0, 0, button);
    s_monkey.busyUntil = up + 1;
}

void StartDrag(long frame, std::vector<ScriptEvent>* now) {
    const Point from = ChooseTarget();
    const Point to = ChooseTarget();
    const int steps = RandomInt(5, 30);
    Add(now, frame, SCRIPT_MOVE, from.x, from.y);
    Add(now, frame, SCRIPT_DOWN);
    for (int i = 1; i <= steps; ++i) {
        Add(&s_monkey.pending, frame + i, SCRIPT_MOVE, from.x + (to.x - from.x) * i / steps,
            from.y + (to.y - from.y) * i / steps);
    }
    Add(&s_monkey.pending, frame + steps + 1, SCRIPT_UP);
    s_monkey.busyUntil = frame + steps + 2;
}

void StartPair(long frame, ScriptEventType first, ScriptEventType second, int longest,
               std::vector<ScriptEvent>* now) {
    const long end = frame + RandomInt(1, longest);
    Add(now, frame, first);
    Add(&s_monkey.pending, end, second);
    s_monkey.busyUntil = end + 1;
}

void StartAction(long frame, std::vector<ScriptEvent>* now) {
    if (RandomInt(0, 999) < s_monkey.reloadShare) {
        Add(now, frame, SCRIPT_KEY_DOWN, 0, 0, 0, DIK_F1);
        Add(&s_monkey.pending, frame + 1, SCRIPT_KEY_UP, 0, 0, 0, DIK_F1);
        s_monkey.busyUntil = frame + 2;
        return;
    }
    const int roll = RandomInt(0, 999);
    if (roll < 650) {
        StartClick(frame, 0, now);
    } else if (roll < 800) {
        StartDrag(frame, now);
    } else if (roll < 880) {
        const Point at = Anywhere();
        Add(now, frame, SCRIPT_MOVE, at.x, at.y);
    } else if (roll < 920) {
        StartClick(frame, RandomInt(1, 2), now);
    } else if (roll < 950) {
        StartPair(frame, SCRIPT_MINIMIZE, SCRIPT_RESTORE, 120, now);
    } else {
        StartPair(frame, SCRIPT_FOCUS_LOST, SCRIPT_FOCUS_GAINED, 60, now);
    }
}

} // namespace

void StartMonkey(std::uint64_t seed, int rate, int reloadShare) {
    s_monkey = Monkey{};
    s_monkey.state = seed;
    s_monkey.rate = std::clamp(rate, 0, 100);
    s_monkey.reloadShare = std::clamp(reloadShare, 0, 1000);
}

void AddMonkeyEvents(long frame, std::vector<ScriptEvent>* events) {
    auto due = std::stable_partition(s_monkey.pending.begin(), s_monkey.pending.end(),
                                     [frame](const ScriptEvent& e) { return e.frame <= frame; });
    events->insert(events->end(), s_monkey.pending.begin(), due);
    s_monkey.pending.erase(s_monkey.pending.begin(), due);
    if (frame >= s_monkey.busyUntil && RandomInt(0, 99) < s_monkey.rate)
        StartAction(frame, events);
}
