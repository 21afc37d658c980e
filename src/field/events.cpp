#include "field/events.h"

#include "field/characters.h"
#include "field/cursor_pick.h"
#include "field/terrain.h"
#include "render/assets.h"
#include "scenario/interpreter.h"
#include "sound/sound_effects.h"

#include <cmath>

EventObject g_eventObjects[EVENT_OBJECT_COUNT];

namespace {

constexpr float CLICK_REACH = 0.25f;

// The integer part of a marker's size; sizes beyond any sensible box are held to
// a million units rather than overflowing the conversion.
int BoxHalfExtent(float size) {
    if (!(std::fabs(size) < 1.0e6f))
        return std::isnan(size) ? 0 : (size > 0.0f ? 1000000 : -1000000);
    return static_cast<int>(size);
}

float OriginDistance(float x, float z) {
    return std::sqrt(x * x + z * z);
}

} // namespace

void PlaceEventObject(int k, int kind, float x, float y, float z, float size, int reserved,
                      int scenarioSlot) {
    if (k < 0 || k >= EVENT_OBJECT_COUNT)
        return;
    EventObject& marker = g_eventObjects[k];
    marker.kind = kind;
    // A kind with no model in the table gives a marker that is not drawn but still
    // answers the cursor like any other.
    const bool inTable = kind >= 0 && kind < MODEL_TABLE_SIZE;
    marker.model.model.mesh = inTable ? g_modelTable[kind].model.mesh : nullptr;
    marker.model.model.texture = inTable ? g_modelTable[kind].model.texture : nullptr;
    if (marker.model.model.mesh)
        ComputeNormals(marker.model.model.mesh, nullptr);
    marker.position = {x, y, z};
    marker.size = size;
    marker.reserved = reserved;
    marker.scenarioSlot = scenarioSlot;
    const int s = BoxHalfExtent(size);
    InitCollisionBox(&marker.box, s, s, s);
    const float ambient[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const float light[4] = {0.5f, 0.5f, -1.0f, 1.0f};
    for (int i = 0; i < 4; ++i) {
        marker.model.Ambient[i] = ambient[i];
        marker.model.Diffuse[i] = ambient[i];
        marker.model.Light[i] = light[i];
    }
    marker.box.centre = {x, 1.0f, z};
    marker.spin = 0.0f;
    marker.active = true;
}

void CheckCharacterClicks() {
    const FieldCharacter& lead = g_fieldCharacters[0];
    const float pickDistance = OriginDistance(g_pickedPoint.x, g_pickedPoint.z);
    for (int j = 1; j < FIELD_CHARACTER_COUNT; ++j) {
        const FieldCharacter& c = g_fieldCharacters[j];
        if (!c.active)
            continue;
        if (BoxesOverlap(c.box, lead.box) && lead.pressLatch &&
            std::fabs(pickDistance - OriginDistance(c.position.x, c.position.z)) < CLICK_REACH) {
            PlaySoundEffect(SOUND_EFFECT_TALK);
            StartScenario(c.number);
        }
    }
}

void DropEventObjectModelCopies(const Model& model) {
    for (EventObject& object : g_eventObjects) {
        if (model.mesh && object.model.model.mesh == model.mesh)
            object.model.model.mesh = nullptr;
        if (model.texture && object.model.model.texture == model.texture)
            object.model.model.texture = nullptr;
    }
}

void UpdateEventMarkers() {
    g_cursorBox.centre = g_pickedPoint;
    for (EventObject& marker : g_eventObjects) {
        if (!marker.active)
            continue;
        GroundHeight(&marker.position);
        marker.box.centre = marker.position;
        if (BoxesOverlap(marker.box, g_cursorBox)) {
            // The first marker under the cursor takes the click, whatever its kind.
            TriggerEventObject(&marker);
            return;
        }
    }
}

void TriggerEventObject(EventObject* marker) {
    if (marker->kind != CLICKABLE_EVENT_KIND || !g_fieldCharacters[0].pressLatch)
        return;
    PlaySoundEffect(SOUND_EFFECT_TALK);
    StartScenario(marker->scenarioSlot);
    marker->active = false;
}
