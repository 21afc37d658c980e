// The lead, walked by clicks on the ground, and the map's wandering characters:
// their records, their motion and their sprite tiles.
#pragma once

#include "field/collision_box.h"
#include "render/model.h"
#include "render/screen_quad.h"

#include <cstdint>

struct GfxVertexBuffer;

constexpr int FIELD_CHARACTER_COUNT = 7; // entry 0 is the lead
constexpr int CHARACTER_SHEET_COUNT = 7; // sprite sheets and character numbers 0..6
// Every character's sprite tile, in pixels.
constexpr int CHARACTER_SPRITE_WIDTH = 32;
constexpr int CHARACTER_SPRITE_HEIGHT = 48;
// Every character's touch box has this half-extent along each axis.
constexpr int CHARACTER_BOX_HALF_EXTENT = 3;
// A wanderer's box centre stands half a unit aside of its position and three quarters up.
constexpr float WANDERER_BOX_OFFSET_X = 0.5f;
constexpr float WANDERER_BOX_OFFSET_Y = 0.75f;

enum LeadState { LEAD_IDLE = 0, LEAD_NEW_TARGET = 1, LEAD_WALKING = 2 };
enum WanderState { WANDER_CHOOSE = 0, WANDER_WALKING = 1, WANDER_PAUSING = 2 };
enum CharacterMode { MODE_LEAD = 0, MODE_WANDER = 1 };

struct FieldCharacter {
    CollisionBox box;
    Vec3 position;
    float nextX, nextZ;
    float pathLength;
    float travelled;
    float heading; // atan2(dx, dz)
    float velocityX, velocityZ;
    float lastTime;
    std::int32_t state;
    std::int32_t spriteWidth, spriteHeight;
    std::int32_t number;
    std::int32_t animationCounter;
    ScreenQuad spriteQuad;         // only its texture coordinates are used
    GfxVertexBuffer* markerBuffer; // lead only: the ground-marker square
    Material markerMaterial;       // lead only
    bool active;
    std::int32_t mode;
    bool pressLatch; // lead only: a target was accepted during this press
    Vec3 target;
    float pauseLength;
    float pauseStart;
};

extern FieldCharacter g_fieldCharacters[FIELD_CHARACTER_COUNT];
extern std::uint32_t g_wanderSeed;

// The next draw of the wander generator, in [0, 1).
double NextWanderRandom();

// Takes the first inactive entry (counting from the lead's) for a wanderer standing
// at (x, z); a map with more characters than entries leaves the rest out.
void PlaceWanderer(float x, float z, int number);
// Sets up entry 0. false when the marker buffer cannot be created; the lead is set
// up all the same and walks without its ground marker.
bool InitLeadCharacter();
// The lead control or wander step of every active entry, each followed by the sprite step.
void UpdateCharacterMotion();
void UpdateLead();
void UpdateWanderer(FieldCharacter* character);
void UpdateCharacterSprites();
