#include "sound/direct_sound.h"

#include "platform/window/message_box.h"
#include "platform/window/window.h"

namespace sslib2 {

CDirectSound::~CDirectSound() {
    if (m_device != nullptr)
        m_device->Release();
}

bool CDirectSound::Init(void* window) {
    SoundDevice* device = nullptr;
    if (FAILED(CreateSoundDevice(&device)))
        return false;
    if (FAILED(device->Initialize()) ||
        FAILED(device->SetCooperativeLevel(window, DSSCL_PRIORITY))) {
        device->Release();
        return false;
    }
    if (m_device != nullptr)
        m_device->Release();
    m_device = device;
    return true;
}

} // namespace sslib2

bool InitDirectSound() {
    if (g_directSound.Init(GetMainWindowHandle()))
        return true;
    ShowMessageBox("DirectSoundの初期化に失敗", "");
    return false;
}
