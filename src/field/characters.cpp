#include "field/characters.h"

#include "core/frame_clock.h"
#include "core/input_state.h"
#include "field/cursor_pick.h"
#include "render/camera.h"
#include "render/render_setup.h"
#include "sound/sound_effects.h"

#include <cmath>

FieldCharacter g_fieldCharacters[FIELD_CHARACTER_COUNT];
std::uint32_t g_wanderSeed = 1;

namespace {

constexpr float PI = 3.1415927f;
constexpr float TWO_PI = 6.2831853f;
constexpr float LEAD_SPEED = 10.0f;  // world units per second
constexpr float WANDER_SPEED = 0.5f; // world units per second
constexpr float PRESS_MOVE_MIN = 0.1f;
constexpr int FRAMES_PER_SPRITE = 40;

// Sets the walk toward target from (x, z) at the given speed. A walk of no length
// has no direction; it arrives at its first step instead.
void StartWalk(FieldCharacter* c, float x, float z, float speed) {
    const float dx = c->target.x - x;
    const float dz = c->target.z - z;
    c->pathLength = std::sqrt(dx * dx + dz * dz);
    if (c->pathLength > 0.0f) {
        c->velocityX = dx / c->pathLength * speed;
        c->velocityZ = dz / c->pathLength * speed;
    } else {
        c->velocityX = 0.0f;
        c->velocityZ = 0.0f;
    }
    c->travelled = 0.0f;
}

// One step of the walk; true when it has arrived, with the next position snapped
// onto the target.
bool StepWalk(FieldCharacter* c) {
    const float dt = g_frameTime - c->lastTime;
    const float stepX = c->velocityX * dt;
    const float stepZ = c->velocityZ * dt;
    c->nextX += stepX;
    c->nextZ += stepZ;
    c->travelled += std::sqrt(stepX * stepX + stepZ * stepZ);
    if (c->travelled > c->pathLength || c->pathLength == 0.0f) {
        c->nextX = c->target.x;
        c->nextZ = c->target.z;
        return true;
    }
    return false;
}

float WrapAngle(float angle) {
    if (angle < -PI)
        angle += TWO_PI;
    else if (angle > PI)
        angle -= TWO_PI;
    return angle;
}

// The sprite tile for a heading relative to the camera: r = 0 walks toward the viewer.
void ChooseTile(float r, bool* rightBlock, int* row) {
    constexpr float PI_8 = 0.3926991f;
    constexpr float PI3_8 = 1.178097f;
    constexpr float PI5_8 = 1.963495f;
    constexpr float PI7_8 = 2.748894f;
    struct Band {
        float low, high; // r in [low, high] with the inclusive ends below
        bool lowInclusive, highInclusive;
        bool right;
        int row;
    };
    static const Band BANDS[] = {
        {-PI_8, PI_8, true, true, false, 0},     {-PI3_8, -PI_8, true, false, true, 0},
        {-PI5_8, -PI3_8, true, false, false, 1}, {-PI7_8, -PI5_8, true, false, true, 2},
        {PI_8, PI3_8, false, true, true, 1},     {PI3_8, PI5_8, false, true, false, 2},
        {PI5_8, PI7_8, false, true, true, 3},
    };
    for (const Band& band : BANDS) {
        const bool aboveLow = band.lowInclusive ? r >= band.low : r > band.low;
        const bool belowHigh = band.highInclusive ? r <= band.high : r < band.high;
        if (aboveLow && belowHigh) {
            *rightBlock = band.right;
            *row = band.row;
            return;
        }
    }
    *rightBlock = false;
    *row = 3;
}

} // namespace

double NextWanderRandom() {
    g_wanderSeed = g_wanderSeed * 48828125u + 1u;
    return static_cast<double>(g_wanderSeed) / 4294967296.0;
}

void PlaceWanderer(float x, float z, int number) {
    for (FieldCharacter& c : g_fieldCharacters) {
        if (c.active)
            continue;
        c.position.x = x;
        c.position.z = z;
        c.nextX = x;
        c.nextZ = z;
        c.spriteWidth = CHARACTER_SPRITE_WIDTH;
        c.spriteHeight = CHARACTER_SPRITE_HEIGHT;
        c.number = number;
        c.active = true;
        c.mode = MODE_WANDER;
        return;
    }
}

bool InitLeadCharacter() {
    FieldCharacter& lead = g_fieldCharacters[0];
    bool markerReady = lead.markerBuffer != nullptr;
    if (!markerReady && g_pD3DDevice)
        markerReady = SUCCEEDED(g_pD3DDevice->CreateVertexBuffer(
            4 * sizeof(ModelVertex), 0, FVF_MODEL_VERTEX, POOL_MANAGED, &lead.markerBuffer));
    void* data = nullptr;
    if (markerReady && SUCCEEDED(lead.markerBuffer->Lock(0, 0, &data, 0))) {
        const ModelVertex square[4] = {
            {-0.45f, 0.0f, -0.45f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f},
            {-0.45f, 0.0f, 0.45f, 0.0f, 1.0f, 0.0f, 0.0f, 0.09375f},
            {0.45f, 0.0f, 0.45f, 0.0f, 1.0f, 0.0f, 0.09375f, 0.09375f},
            {0.45f, 0.0f, -0.45f, 0.0f, 1.0f, 0.0f, 0.09375f, 0.0f},
        };
        static_cast<ModelVertex*>(data)[0] = square[0];
        static_cast<ModelVertex*>(data)[1] = square[1];
        static_cast<ModelVertex*>(data)[2] = square[2];
        static_cast<ModelVertex*>(data)[3] = square[3];
        lead.markerBuffer->Unlock();
    }
    lead.markerMaterial = {{1.0f, 1.0f, 1.0f, 0.5f},
                           {1.0f, 1.0f, 1.0f, 0.5f},
                           {1.0f, 1.0f, 1.0f, 1.0f},
                           {0.0f, 0.0f, 0.0f, 0.0f},
                           10.0f};
    lead.nextX = 25.0f;
    lead.nextZ = 14.0f;
    lead.position.y = 1.0f;
    InitCollisionBox(&lead.box, CHARACTER_BOX_HALF_EXTENT, CHARACTER_BOX_HALF_EXTENT,
                     CHARACTER_BOX_HALF_EXTENT);
    lead.number = 0;
    lead.animationCounter = 0;
    lead.mode = MODE_LEAD;
    lead.spriteWidth = CHARACTER_SPRITE_WIDTH;
    lead.spriteHeight = CHARACTER_SPRITE_HEIGHT;
    lead.active = true;
    return markerReady;
}

void UpdateCharacterMotion() {
    for (FieldCharacter& c : g_fieldCharacters) {
        if (!c.active)
            continue;
        if (c.mode == MODE_LEAD)
            UpdateLead();
        else if (c.mode == MODE_WANDER)
            UpdateWanderer(&c);
        UpdateCharacterSprites();
    }
}

void UpdateLead() {
    FieldCharacter& lead = g_fieldCharacters[0];
    const float x0 = lead.position.x;
    const float z0 = lead.position.z;
    if (g_buttonDown[0]) {
        lead.lastTime = g_frameTime;
        const Vec3& pick = g_pickedPoint;
        // A difference of distances from the map origin, not a distance between points.
        const float d =
            std::fabs(std::sqrt(pick.x * pick.x + pick.z * pick.z) - std::sqrt(x0 * x0 + z0 * z0));
        if (!lead.pressLatch)
            PlaySoundEffect(SOUND_EFFECT_CLICK);
        if (d > PRESS_MOVE_MIN) {
            lead.state = LEAD_NEW_TARGET;
            lead.target = pick;
            lead.pressLatch = true;
        }
    } else {
        lead.pressLatch = false;
    }
    if (lead.state == LEAD_NEW_TARGET) {
        lead.heading = std::atan2(lead.target.x - x0, lead.target.z - z0);
        StartWalk(&lead, x0, z0, LEAD_SPEED);
        lead.state = LEAD_WALKING;
    }
    if (lead.state == LEAD_WALKING) {
        if (StepWalk(&lead))
            lead.state = LEAD_IDLE;
        lead.lastTime = g_frameTime;
    }
    lead.box.centre = {x0, lead.position.y, z0};
}

void UpdateWanderer(FieldCharacter* c) {
    const float x = c->position.x;
    const float z = c->position.z;
    c->nextX = x;
    c->nextZ = z;
    bool walks = c->state == WANDER_WALKING;
    if (c->state == WANDER_CHOOSE) {
        const double u1 = NextWanderRandom();
        const double u2 = NextWanderRandom();
        c->target.x = x + static_cast<float>(4.0 * (u1 - 0.5));
        c->target.z = z + static_cast<float>(4.0 * (u2 - 0.5));
        StartWalk(c, x, z, WANDER_SPEED);
        c->state = WANDER_WALKING;
        walks = true;
    } else if (c->state == WANDER_PAUSING) {
        if (g_frameTime - c->pauseStart > c->pauseLength)
            c->state = WANDER_CHOOSE;
    }
    if (walks) {
        if (StepWalk(c)) {
            c->state = WANDER_PAUSING;
            c->pauseLength = static_cast<float>(std::fabs(NextWanderRandom() - 0.5) * 3.0);
            c->pauseStart = g_frameTime;
        }
        c->heading = WrapAngle(std::atan2(c->nextX - x, c->nextZ - z));
    }
    c->lastTime = g_frameTime;
    c->box.centre = {x + WANDERER_BOX_OFFSET_X, c->position.y + WANDERER_BOX_OFFSET_Y, z};
}

void UpdateCharacterSprites() {
    for (FieldCharacter& c : g_fieldCharacters) {
        if (!c.active)
            continue;
        // Wraps instead of overflowing on a game left running for months.
        c.animationCounter =
            static_cast<std::int32_t>(static_cast<std::uint32_t>(c.animationCounter) + 1u);
        const float r = WrapAngle(c.heading - g_camera.yaw);
        const int frame = static_cast<int>(static_cast<std::uint32_t>(c.animationCounter) /
                                           FRAMES_PER_SPRITE % 3);
        bool rightBlock = false;
        int row = 0;
        ChooseTile(r, &rightBlock, &row);
        const float uL = static_cast<float>(8 * frame + (rightBlock ? 24 : 0));
        const float vT = static_cast<float>(12 * row);
        SetQuadTexRect(&c.spriteQuad, uL, vT, uL + 8.0f, vT + 12.0f);
    }
}
