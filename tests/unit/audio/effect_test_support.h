// An effect segment loaded from a WAV file by path below a search folder, on a
// performance of its own: what the effect tests set up before they play.
#pragma once

#include "platform/audio/music_performance.h"

#include <gtest/gtest.h>

#include <filesystem>

struct LoadedEffect {
    MusicPerformance* performance = nullptr;
    MusicLoader* loader = nullptr;
    MusicSegment* segment = nullptr;
};

inline void LoadEffect(const std::filesystem::path& dir, const char* path, LoadedEffect* out) {
    ASSERT_EQ(CreateMusicPerformance(&out->performance), S_OK);
    ASSERT_EQ(out->performance->InitAudio(nullptr, DMUS_APATH_DYNAMIC_STEREO, 64, DMUS_AUDIOF_ALL),
              S_OK);
    ASSERT_EQ(CreateMusicLoader(&out->loader), S_OK);
    ASSERT_EQ(out->loader->SetSearchDirectory(dir.c_str()), S_OK);
    ASSERT_EQ(out->loader->LoadSegmentFromFile(path, &out->segment), S_OK);
    ASSERT_EQ(out->segment->Download(out->performance), S_OK);
}
