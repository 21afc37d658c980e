// Lint of the pictures and sounds: every bitmap decodes with the game's own decoder,
// the effect waves load as the effect segments load them, and the music decodes and
// loops without a gap.
#include "lint_report.h"

#include "app/frame_states.h"
#include "sound/music.h"
#include "sound/ogg_file_reader.h"
#include "sound/sound_effects.h"

#include "platform/audio/wave_convert.h"
#include "platform/audio/wave_file.h"
#include "platform/gfx/bmp_decode.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool IsBitmapName(const std::string& name) {
    if (name.size() < 4)
        return false;
    std::string extension = name.substr(name.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char b) { return static_cast<char>(std::tolower(b)); });
    return extension == ".bmp";
}

void LintBitmap(const std::string& name, const std::string& bytes, LintReport* report) {
    DecodedImage image;
    if (!DecodeBmp(bytes.data(), static_cast<std::uint32_t>(bytes.size()), 0, false, &image))
        report->Add(name, 0, "the bitmap does not decode: the game cannot load it");
}

bool ReadLooseFile(const std::filesystem::path& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream content;
    content << in.rdbuf();
    *bytes = content.str();
    return true;
}

// The loose bitmaps under CG/ and X/ of a game folder whose archive is ZRN.dat (in a
// folder played unpacked they are the archive's own entries, checked as such).
void LintLooseBitmaps(const LintInput& input, LintReport* report) {
    for (const char* folder : {"CG", "X"}) {
        std::error_code error;
        const std::filesystem::path root = input.folder / folder;
        for (auto it = std::filesystem::recursive_directory_iterator(root, error);
             !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
            if (!it->is_regular_file() || !IsBitmapName(it->path().filename().string()))
                continue;
            const std::string name =
                "./" + it->path().lexically_relative(input.folder).generic_string();
            std::string bytes;
            if (!ReadLooseFile(it->path(), &bytes))
                report->Add(name, 0, "cannot be read");
            else
                LintBitmap(name, bytes, report);
        }
    }
}

void LintEffect(const LintInput& input, int slot, LintReport* report) {
    const char* path = SOUND_EFFECT_FILES[slot];
    std::string bytes;
    if (!ReadLooseFile(LooseFilePath(input, path), &bytes)) {
        report->Add(LooseFileName(path), 0,
                    "missing: the game loads it into effect slot " + std::to_string(slot));
        return;
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    WaveData wave;
    std::vector<std::int16_t> samples;
    if (!ParseWaveFile(data, bytes.size(), &wave) ||
        !ConvertWaveToMixerFormat(data, wave, &samples))
        report->Add(LooseFileName(path), 0,
                    "the wave does not load: effect " + std::to_string(slot) + " stays silent");
}

// Decodes the whole stream as the channel does, and measures the silence that pads
// its last streaming block.
void LintMusic(const LintInput& input, const char* path, LintReport* report) {
    const std::string name = LooseFileName(path);
    const int handle = open(LooseFilePath(input, path).c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (handle < 0 || fstat(handle, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (handle >= 0)
            close(handle);
        report->Add(name, 0, "missing: the game plays it as music");
        return;
    }
    sslib2::COggFileReader reader;
    if (!reader.OpenStream({handle, 0, static_cast<std::uint32_t>(info.st_size)})) {
        report->Add(name, 0, "not a seekable Ogg Vorbis stream: the game cannot play it");
        return;
    }
    sslib2::PcmFormat format;
    reader.GetFormat(&format);
    const std::uint32_t frames = reader.GetLength();
    std::vector<char> block(1 << 16);
    std::uint64_t decoded = 0;
    std::uint32_t got = 0;
    while (reader.Read(block.data(), static_cast<std::uint32_t>(block.size()), &got) && got > 0)
        decoded += got;
    decoded /= format.blockAlign;
    if (decoded < frames) {
        report->Add(name, 0,
                    "decodes only " + std::to_string(decoded) + " of its " +
                        std::to_string(frames) + " frames: the music stops early");
        return;
    }
    const std::uint32_t blockFrames = sslib2::GetStreamBlockBytes(format) / format.blockAlign;
    const std::uint32_t rest = blockFrames ? frames % blockFrames : 0;
    if (rest == 0)
        return;
    const std::uint32_t padding = blockFrames - rest;
    char text[256];
    std::snprintf(text, sizeof text,
                  "%u frames are not a whole number of streaming blocks (%u frames, 3/16 s at "
                  "%u Hz): the last block ends in %u frames of silence, so the loop has a gap "
                  "of %.1f ms",
                  frames, blockFrames, format.samplesPerSec, padding,
                  1000.0 * padding / format.samplesPerSec);
    report->Add(name, 0, text);
}

} // namespace

void LintMedia(const LintInput& input, LintReport* report) {
    for (const auto& [key, bytes] : input.files) {
        if (IsBitmapName(key))
            LintBitmap(key, bytes, report);
    }
    if (!input.hasFolder)
        return;
    if (!std::filesystem::is_regular_file(LooseFilePath(input, LOADING_PICTURE_PATH)))
        report->Add(LooseFileName(LOADING_PICTURE_PATH), 0,
                    "missing: the game shows it while it loads");
    if (std::filesystem::is_regular_file(input.folder / "ZRN.dat"))
        LintLooseBitmaps(input, report);
    for (int slot = 0; slot < SOUND_EFFECT_FILE_COUNT; ++slot)
        LintEffect(input, slot, report);
    std::set<std::string> music;
    for (const char* path : MUSIC_FILES) {
        if (music.insert(path).second)
            LintMusic(input, path, report);
    }
}
