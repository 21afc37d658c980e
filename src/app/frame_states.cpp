#include "app/frame_states.h"

#include "app/input.h"
#include "app/save_game.h"
#include "app/text_pace.h"
#include "archive/archive.h"
#include "core/file_report.h"
#include "field/characters.h"
#include "field/collision_box.h"
#include "field/events.h"
#include "field/object_step.h"
#include "field/terrain.h"
#include "render/assets.h"
#include "render/camera.h"
#include "render/render_setup.h"
#include "scenario/backlog.h"
#include "scenario/interpreter.h"
#include "scenario/links.h"
#include "scenario/picture_layers.h"
#include "scenario/scenario_store.h"
#include "scenario/variables.h"
#include "scene/overlay.h"
#include "scene/scene_passes.h"
#include "sound/music.h"
#include "sound/sound_effects.h"

#include "platform/gfx/device.h"
#include "platform/files/host_files.h"
#include "platform/window/message_box.h"

#include <algorithm>

GfxTexture* g_loadingTexture = nullptr;
ScreenQuad g_loadingQuad;
IntRect g_loadingRect = {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};

namespace {

void ReloadKey() {
    if (g_keyState[DIK_F1] & 0x80)
        BeginReload();
}

void SetWholeTextureQuad(ScreenQuad* quad, int alpha, float left, float top, float right,
                         float bottom) {
    SetQuad(quad, alpha, left, top, right, bottom, 0.0f, 0.0f, 64.0f, 64.0f);
}

// The one buffer the full-screen effect quads are written into; a reload reuses it.
void CreateScreenQuadBuffer() {
    if (!g_camera.screenQuadBuffer)
        g_pD3DDevice->CreateVertexBuffer(sizeof(ScreenQuad), 0, FVF_SCREEN_VERTEX, POOL_MANAGED,
                                         &g_camera.screenQuadBuffer);
}

void ResetMapChange() {
    g_renderSet.fadeActive = false;
    g_renderSet.renderMode = RENDER_MODE_FOG;
    g_renderSet.passCount = 2;
    g_renderSet.fadeAlpha = 0.0f;
    g_renderSet.fadeCounter = 0;
    g_renderSet.fadeDestination = 0;
    g_renderSet.fadeArrivalX = 0.0f;
    g_renderSet.fadeArrivalZ = 0.0f;
}

} // namespace

void BeginReload() {
    for (Picture& picture : g_pictures) {
        if (picture.texture)
            picture.texture->Release();
        picture.texture = nullptr;
    }
    g_frameNo = FRAME_PREPARE_LOADING;
}

void ReleaseLoadingTexture() {
    if (g_loadingTexture)
        g_loadingTexture->Release();
    g_loadingTexture = nullptr;
}

void PrepareLoadingScreen() {
    ReleaseLoadingTexture();
    if (FAILED(CreateTextureFromFile(g_pD3DDevice, ToHostPath(LOADING_PICTURE_PATH).c_str(),
                                     &g_loadingTexture))) {
        ShowMessageBox("NowLoading.bmp の読み込み失敗", "ERROR");
        ReportFileFailure(ToHostPath(LOADING_PICTURE_PATH).c_str(),
                          "missing, or not a bitmap the game can load");
    }
    SetWholeTextureQuad(&g_loadingQuad, 255, static_cast<float>(g_loadingRect.left),
                        static_cast<float>(g_loadingRect.top),
                        static_cast<float>(g_loadingRect.right),
                        static_cast<float>(g_loadingRect.bottom));
    CreateMessageFont();
    ResetInputState();
    for (FieldCharacter& character : g_fieldCharacters)
        character.active = false;
    OpenArchive();
    g_frameNo = FRAME_SHOW_LOADING;
    ShowLoadingScreen();
}

void ShowLoadingScreen() {
    DrawQuad(&g_loadingQuad, g_loadingTexture);
    g_frameNo = FRAME_STARTUP_LOAD;
    // The picture stays on screen through the long start-up frame that follows.
    ReleaseLoadingTexture();
}

void StartupLoad() {
    DropEventObjectModelCopies(g_cursorModel.model);
    DropEventObjectModelCopies(g_fogVolumeModel);
    DropEventObjectModelCopies(g_modelTable[1].model);
    LoadAssets();

    SetWholeTextureQuad(&g_pictureLayers[0].quad, 255, 202.0f, 0.0f, 821.0f, 896.0f);
    SetWholeTextureQuad(&g_pictureLayers[1].quad, 255, 202.0f, 0.0f, 821.0f, 896.0f);
    g_currentScenario = 0;
    g_basePicture = 0;

    SetWholeTextureQuad(&g_cursorQuad, 255, 0.0f, 0.0f, 48.0f, 48.0f);
    g_pictureLayers[0].visible = false;
    g_pictureLayers[1].visible = false;

    ComputeNormals(g_cursorModel.model.mesh, nullptr);
    InitCollisionBox(&g_cursorBox, 1.0f, 3.0f, 1.0f);
    const float ambient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const float diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const float light[4] = {0.0f, -1.0f, 0.0f, 1.0f};
    std::copy(ambient, ambient + 4, g_cursorModel.Ambient);
    std::copy(diffuse, diffuse + 4, g_cursorModel.Diffuse);
    std::copy(light, light + 4, g_cursorModel.Light);

    SetWholeTextureQuad(&g_clickIconQuad, 255, 0.0f, 0.0f, 64.0f, 64.0f);
    for (LinkRecord& link : g_links)
        SetWholeTextureQuad(&link.quad, 127, 0.0f, 0.0f, 10.0f, 10.0f);

    g_eVars[STARTUP_FLAG] = 1;

    OpenGameMusic();
    for (int slot = 0; slot < SOUND_EFFECT_FILE_COUNT; ++slot)
        LoadSoundEffect(slot, SOUND_EFFECT_FILES[slot]);

    CreateMessageFont();
    g_charsPerLine = ((974 - 50) / 18) / 2;
    LoadScenarioStore();
    CreateScreenQuadBuffer();
    SetupCameraProjection();
    const Vec3 lightDirection = {-1.0f, -10.0f, -1.0f};
    SetDirectionalLight(1.0f, 1.0f, 1.0f, &lightDirection);
    InitLeadCharacter();
    BuildMapTerrain(1);
    ResetMapChange();
    g_frameNo = FRAME_FIELD;
    LoadReadPages();
    PlaceLoadedSave();
}

void ScenarioFrame() {
    LatchInput();
    StepScenarioText();
    if (g_selectWait && !g_backlogOpen)
        SelectLink();
    RenderField();
    DrawOverlay();
    if (!g_bgmStopped)
        UpdateMusic();
    ReloadKey();
}

void FieldFrame() {
    if (!g_renderSet.fadeActive) {
        UpdateCharacterMotion();
        UpdateFieldObjects();
    }
    RenderField();
    LatchInput();
    DrawOverlay();
    if (!g_bgmStopped)
        UpdateMusic();
    ReloadKey();
}

bool DispatchFrameState() {
    switch (g_frameNo) {
    case FRAME_PREPARE_LOADING:
        PrepareLoadingScreen();
        return true;
    case FRAME_SHOW_LOADING:
        ShowLoadingScreen();
        return true;
    case FRAME_STARTUP_LOAD:
        StartupLoad();
        return true;
    case FRAME_SCENARIO:
        ScenarioFrame();
        return true;
    case FRAME_FIELD:
        FieldFrame();
        return true;
    default:
        return false;
    }
}
