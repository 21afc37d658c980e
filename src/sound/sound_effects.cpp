#include "sound/sound_effects.h"

#include "core/file_report.h"

#include "platform/files/host_files.h"
#include "platform/window/message_box.h"
#include "platform/window/window.h"

#include <string>

MusicPerformance* g_pPerformance = nullptr;
MusicLoader* g_pLoader = nullptr;
MusicAudioPath* g_pDefaultAudioPath = nullptr;
MusicAudioPath* g_pAudioPath1 = nullptr;
MusicAudioPath* g_pAudioPath2 = nullptr;
MusicSegment* g_pSegments[SOUND_EFFECT_SLOTS] = {};

namespace {

constexpr int PERFORMANCE_CHANNELS = 64;
constexpr int MAX_DIRECTORY = 260;

int g_soundEffectPlayCounts[SOUND_EFFECT_SLOTS] = {};

void ShowError(const char* text) {
    ShowMessageBox(text, "ERROR");
}

bool IsSlot(int slot) {
    return slot >= 0 && slot < SOUND_EFFECT_SLOTS;
}

template <typename T> void ReleaseAndClear(T*& object) {
    if (object != nullptr) {
        object->Release();
        object = nullptr;
    }
}

} // namespace

bool InitDirectMusic() {
    if (FAILED(CreateMusicPerformance(&g_pPerformance))) {
        ShowError("DirectMusicPerformance8オブジェクトの作成に失敗");
        return false;
    }
    if (FAILED(g_pPerformance->InitAudio(GetMainWindowHandle(), DMUS_APATH_DYNAMIC_STEREO,
                                         PERFORMANCE_CHANNELS, DMUS_AUDIOF_ALL))) {
        ShowError("DirectMusicPerformance8の初期化に失敗");
        return false;
    }
    if (FAILED(g_pPerformance->GetDefaultAudioPath(&g_pDefaultAudioPath))) {
        ShowError("DefaultAudioPathの取得に失敗");
        return false;
    }
    if (FAILED(g_pPerformance->CreateStandardAudioPath(DMUS_APATH_DYNAMIC_STEREO,
                                                       PERFORMANCE_CHANNELS, true, &g_pAudioPath1)))
        ShowError("オーディオ・パス(g_pAudioPath1)の作成に失敗");
    if (FAILED(g_pPerformance->CreateStandardAudioPath(DMUS_APATH_DYNAMIC_STEREO,
                                                       PERFORMANCE_CHANNELS, true, &g_pAudioPath2)))
        ShowError("オーディオ・パス(g_pAudioPath2)の作成に失敗");
    std::int32_t masterVolume = 0;
    if (FAILED(g_pPerformance->GetMasterVolume(&masterVolume))) {
        ShowError("マスター・ボリュームの取得に失敗");
        return false;
    }
    if (FAILED(CreateMusicLoader(&g_pLoader))) {
        ShowError("DirectMusicLoader8オブジェクトの作成に失敗");
        return false;
    }
    const std::string directory = HostCurrentFolder();
    if (directory.empty() || directory.size() >= MAX_DIRECTORY) {
        ShowError("CurrentDirectoryの取得に失敗");
        return false;
    }
    if (FAILED(g_pLoader->SetSearchDirectory(directory.c_str()))) {
        ShowError("ローダーの検索パス設定に失敗");
        return false;
    }
    return true;
}

bool LoadSoundEffect(int slot, const char* path) {
    if (!IsSlot(slot) || g_pLoader == nullptr || g_pPerformance == nullptr)
        return false;
    ReleaseAndClear(g_pSegments[slot]);
    if (FAILED(g_pLoader->LoadSegmentFromFile(path, &g_pSegments[slot]))) {
        ShowError("MIDIファイルのロードに失敗");
        ReportFileFailure(path, "missing, or not a PCM wave the effects can play");
        return false;
    }
    if (FAILED(g_pSegments[slot]->Download(g_pPerformance))) {
        ShowError("セグメントのバンドダウンロードに失敗");
        return false;
    }
    return true;
}

void PlaySoundEffect(int slot) {
    if (!IsSlot(slot))
        return;
    g_soundEffectPlayCounts[slot]++;
    if (g_pPerformance == nullptr || g_pSegments[slot] == nullptr)
        return;
    g_pPerformance->PlaySegmentEx(g_pSegments[slot], DMUS_SEGF_SECONDARY);
}

bool StopAndUnloadSoundEffects() {
    if (g_pPerformance != nullptr && FAILED(g_pPerformance->Stop()))
        ShowError("演奏全停止に失敗");
    for (MusicSegment*& segment : g_pSegments) {
        if (segment == nullptr)
            continue;
        if (FAILED(segment->Unload(g_pPerformance)))
            ShowError("セグメントの音色データのアンロードに失敗");
        ReleaseAndClear(segment);
    }
    return true;
}

bool CloseDirectMusic() {
    ReleaseAndClear(g_pLoader);
    ReleaseAndClear(g_pDefaultAudioPath);
    ReleaseAndClear(g_pAudioPath1);
    ReleaseAndClear(g_pAudioPath2);
    if (g_pPerformance != nullptr) {
        if (FAILED(g_pPerformance->CloseDown()))
            ShowError("IDirectMusicPerformance8::CloseDownに失敗");
        ReleaseAndClear(g_pPerformance);
    }
    return true;
}

int GetSoundEffectPlayCount(int slot) {
    return IsSlot(slot) ? g_soundEffectPlayCounts[slot] : 0;
}
