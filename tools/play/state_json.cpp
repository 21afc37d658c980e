#include "state_json.h"

#include "json_writer.h"

#include "core/frame_clock.h"
#include "core/frame_state.h"
#include "core/input_state.h"
#include "field/characters.h"
#include "field/cursor_pick.h"
#include "field/events.h"
#include "field/terrain.h"
#include "render/render_setup.h"
#include "scenario/interpreter.h"
#include "scenario/links.h"
#include "scenario/picture_layers.h"
#include "scenario/scenario_state.h"
#include "scenario/variables.h"
#include "sound/music.h"
#include "sound/sound_effects.h"

#include "platform/window/message_box.h"

namespace {

void Rect(JsonWriter& json, const ScreenQuad& quad) {
    json.BeginArray("rect");
    json.Number(nullptr, quad.v[0].x);
    json.Number(nullptr, quad.v[0].y);
    json.Number(nullptr, quad.v[2].x);
    json.Number(nullptr, quad.v[2].y);
    json.EndArray();
}

void Point(JsonWriter& json, const char* key, float x, float y, float z) {
    json.BeginArray(key);
    json.Number(nullptr, x);
    json.Number(nullptr, y);
    json.Number(nullptr, z);
    json.EndArray();
}

void WriteScenario(JsonWriter& json) {
    json.BeginObject("scenario");
    json.Int("current", g_currentScenario);
    json.String("text", DrawnMessageUtf8());
    json.Int("messagePos", g_messagePos);
    json.Int("textLine", g_textLine);
    json.Int("textColumn", g_textColumn);
    json.Bool("clickLatch", g_clickLatch);
    json.Bool("selectWait", g_selectWait);
    json.Bool("linkMode", g_linkMode);
    json.BeginObject("clickIcon");
    json.Number("x", g_clickIconQuad.v[0].x);
    json.Number("y", g_clickIconQuad.v[0].y);
    json.Bool("shown", g_frameNo == FRAME_SCENARIO && !g_clickLatch);
    json.EndObject();
    json.BeginArray("layers");
    for (int i = 0; i < PICTURE_LAYER_COUNT; ++i) {
        const PictureLayer& layer = g_pictureLayers[i];
        json.BeginObject();
        json.Int("index", i);
        json.Int("picture", layer.picture);
        json.Bool("visible", layer.visible);
        Rect(json, layer.quad);
        json.EndObject();
    }
    json.EndArray();
    json.BeginArray("links");
    for (int i = 0; i < LINK_COUNT; ++i) {
        const LinkRecord& link = g_links[i];
        json.BeginObject();
        json.Int("index", i);
        json.String("target", LinkTargetUtf8(i));
        json.Bool("present", link.present);
        json.Bool("hover", link.hover);
        Rect(json, link.quad);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

void WriteVars(JsonWriter& json) {
    json.BeginObject("vars");
    json.BeginArray("e");
    for (int i = 0; i < E_VAR_COUNT; ++i)
        json.Int(nullptr, g_eVars[i]);
    json.EndArray();
    json.BeginArray("s");
    for (int i = 0; i < S_VAR_COUNT; ++i)
        json.Int(nullptr, g_sVars[i]);
    json.EndArray();
    json.EndObject();
}

void WriteField(JsonWriter& json) {
    json.BeginObject("field");
    json.Int("map", g_builtMap);
    Point(json, "pick", g_pickedPoint.x, g_pickedPoint.y, g_pickedPoint.z);
    json.BeginObject("fade");
    json.Bool("active", g_renderSet.fadeActive);
    json.Int("counter", g_renderSet.fadeCounter);
    json.Number("alpha", g_renderSet.fadeAlpha);
    json.Int("destination", g_renderSet.fadeDestination);
    json.EndObject();
    const FieldCharacter& lead = g_fieldCharacters[0];
    json.BeginObject("lead");
    json.Number("x", lead.position.x);
    json.Number("y", lead.position.y);
    json.Number("z", lead.position.z);
    json.Int("state", lead.state);
    Point(json, "target", lead.target.x, lead.target.y, lead.target.z);
    json.EndObject();
    json.BeginArray("characters");
    for (int i = 1; i < FIELD_CHARACTER_COUNT; ++i) {
        const FieldCharacter& character = g_fieldCharacters[i];
        json.BeginObject();
        json.Int("entry", i);
        json.Bool("active", character.active);
        json.Int("number", character.number);
        json.Number("x", character.position.x);
        json.Number("z", character.position.z);
        json.Int("mode", character.mode);
        json.EndObject();
    }
    json.EndArray();
    json.BeginArray("markers");
    for (int i = 0; i < EVENT_OBJECT_COUNT; ++i) {
        const EventObject& marker = g_eventObjects[i];
        if (!marker.active)
            continue;
        json.BeginObject();
        json.Int("index", i);
        json.Bool("active", marker.active);
        json.Int("kind", marker.kind);
        json.Number("x", marker.position.x);
        json.Number("y", marker.position.y);
        json.Number("z", marker.position.z);
        json.Int("slot", marker.scenarioSlot);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

void WriteSound(JsonWriter& json) {
    json.BeginObject("music");
    json.Int("channel", g_bgmChannel);
    json.Int("requested", g_bgmRequestedChannel);
    json.Bool("stopped", g_bgmStopped);
    json.BeginArray("playing");
    for (int i = 0; i < 3; ++i)
        json.Bool(nullptr, g_streamSoundBuffers[i].IsPlaying());
    json.EndArray();
    json.EndObject();
    json.BeginArray("effectPlays");
    for (int i = 0; i < SOUND_EFFECT_SLOTS; ++i)
        json.Int(nullptr, GetSoundEffectPlayCount(i));
    json.EndArray();
}

} // namespace

std::string GameStateJson(long frame) {
    JsonWriter json;
    json.BeginObject();
    json.Int("frame", frame);
    json.Int("frameNo", g_frameNo);
    json.Number("time", g_frameTime);
    json.BeginArray("messages");
    for (const RecordedMessage& message : GetRecordedMessages()) {
        json.BeginObject();
        json.String("caption", message.caption);
        json.String("text", message.text);
        json.EndObject();
    }
    json.EndArray();
    WriteScenario(json);
    WriteVars(json);
    WriteField(json);
    WriteSound(json);
    json.EndObject();
    return json.Text() + "\n";
}
