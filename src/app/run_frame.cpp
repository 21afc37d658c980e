#include "app/frame_states.h"
#include "app/input.h"
#include "app/main_loop.h"
#include "app/save_game.h"
#include "app/settings_overlay.h"
#include "core/frame_clock.h"
#include "render/render_setup.h"
#include "scene/note.h"

#include "platform/window/message_box.h"

int RunFrame() {
    g_frameTime = GetTimeSeconds();
    ReadInputDevices();
    TakeSettingsOverlayInput();
    g_pD3DDevice->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, 0xFF646464, 1.0f, 0);
    g_pD3DDevice->BeginScene();
    g_pD3DDevice->SetVertexShader(nullptr);
    g_pD3DDevice->SetFVF(FVF_SCREEN_VERTEX);
    const bool known = DispatchFrameState();
    if (known) {
        RunSaveRequests();
        DrawSettingsOverlay();
        DrawNote();
    }
    // Messages repeated over many items of this frame's work are summed up now.
    EndMessageBoxRun();
    if (!known) {
        ShowMessageBox("g_frameNoの値が問題です。", "ERROR");
        // The scene is closed but nothing is presented, so the next frame begins cleanly.
        g_pD3DDevice->EndScene();
        return 0;
    }
    g_pD3DDevice->EndScene();
    g_pD3DDevice->Present();
    return 1;
}
