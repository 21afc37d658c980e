// A clean field for each test: no characters but the ones a test places, a free
// attribute grid, a flat 16 x 16 ground at height 0, no markers, no fade.
#pragma once

#include "core/frame_clock.h"
#include "core/frame_state.h"
#include "core/input_state.h"
#include "field/characters.h"
#include "field/cursor_pick.h"
#include "field/events.h"
#include "field/map_change.h"
#include "field/object_step.h"
#include "field/terrain.h"
#include "render/camera.h"
#include "render/render_setup.h"
#include "scenario/interpreter.h"
#include "sound/music.h"
#include "sound/sound_effects.h"

#include <gtest/gtest.h>

class FieldTest : public testing::Test {
  protected:
    void SetUp() override {
        for (FieldCharacter& c : g_fieldCharacters) {
            c = FieldCharacter{};
            InitCollisionBox(&c.box, 3, 3, 3);
        }
        for (EventObject& marker : g_eventObjects)
            marker.active = false;
        for (auto& row : g_mapTerrain.attributes) {
            for (auto& value : row)
                value = 0;
        }
        BuildTerrainGeometry(16, 16, TerrainGrids{});
        g_renderSet.fadeActive = 0;
        g_renderSet.renderMode = RENDER_MODE_FOG;
        g_renderSet.fadeCounter = 0;
        g_buttonDown[0] = 0;
        g_frameTime = 1000.0f;
        g_pickedPoint = {0.0f, 0.0f, 0.0f};
        g_camera.yaw = 0.0f;
        InitCollisionBox(&g_cursorBox, 1, 3, 1);
        g_frameNo = FRAME_FIELD;
        g_currentScenario = -1;
        g_wanderSeed = 1;
    }

  public:
    // The lead standing at (x, z), idle, its step accepted.
    static FieldCharacter& PlaceLead(float x, float z) {
        FieldCharacter& lead = g_fieldCharacters[0];
        lead.active = true;
        lead.mode = MODE_LEAD;
        lead.position = {x, 0.0f, z};
        lead.nextX = x;
        lead.nextZ = z;
        lead.lastTime = g_frameTime;
        return lead;
    }

    // One field frame's logic at time t with the given button and pick.
    static void Frame(float t, bool down, float px, float pz) {
        g_frameTime = t;
        g_buttonDown[0] = down ? 1 : 0;
        g_pickedPoint = {px, 0.0f, pz};
        UpdateCharacterMotion();
        UpdateFieldObjects();
    }
};
