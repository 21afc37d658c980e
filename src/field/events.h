// The event markers read from a map's event file, and the clicks on markers and on
// characters that start scenarios.
#pragma once

#include "field/collision_box.h"
#include "render/model.h"

#include <cstdint>

constexpr int EVENT_OBJECT_COUNT = 100;
constexpr int CLICKABLE_EVENT_KIND = 1; // the question-mark marker

struct EventObject {
    CollisionBox box;
    ModelObject model; // mesh and texture of its kind's model; its own arrays stay empty
    Vec3 position;
    std::int32_t kind;
    float size;
    std::int32_t reserved;
    std::int32_t scenarioSlot;
    float spin;
    bool active;
};

extern EventObject g_eventObjects[EVENT_OBJECT_COUNT];

// A reload releases the models: the markers share the question mark's mesh and
// texture, so their copies of the model's are dropped before it goes; the map built
// at the end of the start-up load copies the new ones.
void DropEventObjectModelCopies(const Model& model);
// Places event object k from one record of an event file.
void PlaceEventObject(int k, int kind, float x, float y, float z, float size, int reserved,
                      int scenarioSlot);
// Inside the object step at the lead: starts the scenario of each map character
// whose box touches the lead's while the press that set a walk target points at it.
void CheckCharacterClicks();
// After the characters: grounds the markers and fires the first one under the cursor.
void UpdateEventMarkers();
void TriggerEventObject(EventObject* marker);
