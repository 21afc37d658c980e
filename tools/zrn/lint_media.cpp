// Lint of the pictures and sounds: every bitmap decodes with the game's own decoder,
// the effect waves load as the effect segments load them, and the music decodes and
// loops without a gap.
#include "lint_report.h"
#include "zrn_commands.h"

#include "app/frame_states.h"
#include "render/assets.h"
#include "sound/music.h"
#include "sound/ogg_file_reader.h"
#include "sound/sound_effects.h"

#include "platform/audio/wave_convert.h"
#include "platform/audio/wave_file.h"
#include "platform/files/host_files.h"
#include "platform/files/host_folders.h"
#include "platform/gfx/bmp_decode.h"
#include "platform/gfx/bmp_failure.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <set>
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

// The largest texture side every GL 3.3 driver takes.
constexpr std::uint32_t TEXTURE_MAX_SIDE = 1024;

bool IsPowerOfTwo(std::uint32_t v) {
    return v != 0 && (v & (v - 1)) == 0;
}

std::string SizeText(const DecodedImage& image) {
    return std::to_string(image.width) + " x " + std::to_string(image.height);
}

// What size the game can use for the texture under key, "" when it can use this one.
// Sprite tiles and map chips are cut in fixed fractions of the texture, so the sheets
// and the atlas must divide evenly; pictures are drawn at their own size.
std::string SizeProblem(const std::string& key, const DecodedImage& image) {
    const TextureAsset* asset = nullptr;
    for (const TextureAsset& candidate : TEXTURE_ASSETS) {
        if (key == candidate.key)
            asset = &candidate;
    }
    if (image.width > TEXTURE_MAX_SIDE || image.height > TEXTURE_MAX_SIDE)
        return SizeText(image) + ": textures larger than 1024 on a side do not load on every "
                                 "graphics driver; make it at most 1024 x 1024";
    if (!asset || asset->picture)
        return "";
    const bool square = image.width == image.height;
    const bool powers = IsPowerOfTwo(image.width) && IsPowerOfTwo(image.height);
    if (asset->slot >= g_characterTextures &&
        asset->slot < g_characterTextures + CHARACTER_TEXTURE_COUNT) {
        if (!square || !powers || image.width < 64)
            return SizeText(image) + ": a sprite sheet is cut in 64ths of a square texture; make "
                                     "it 256 x 256 (tiles of 32 x 48), or 128 or 512 square";
        return "";
    }
    if (asset->slot == &g_mapchipTexture) {
        if (!square || !powers || image.width < 8)
            return SizeText(image) + ": the chip atlas is cut in eighths of a square texture; "
                                     "make it 512 x 512 (chips of 64 x 64), or 256 or 1024 square";
        return "";
    }
    if (!powers)
        return SizeText(image) + ": the game draws this texture in fractions of its size; make "
                                 "each side a power of two (64, 128, 256, 512 or 1024)";
    return "";
}

// paddedSize: what the game hands the decoder. An archive entry comes in the size
// query's block, four times its length and zero-filled past it, so a bitmap cut short
// may still load there, with black where its pixels are missing.
void LintBitmap(const std::string& name, const std::string& bytes, std::size_t paddedSize,
                LintReport* report) {
    std::string block = bytes;
    block.resize(std::max(paddedSize, bytes.size()), '\0');
    DecodedImage image;
    if (!DecodeBmp(block.data(), static_cast<std::uint32_t>(block.size()), 0, false, &image)) {
        const char* reason =
            DescribeBitmapFailure(block.data(), static_cast<std::uint32_t>(block.size()));
        report->Add(name, 0,
                    std::string("the bitmap does not decode (") + (reason ? reason : "broken") +
                        "): the game cannot load it");
        return;
    }
    const std::string problem = SizeProblem(name, image);
    if (!problem.empty())
        report->Add(name, 0, problem);
}

// The loose bitmaps under CG/ and X/ of a game folder whose archive is ZRN.dat (in a
// folder played unpacked they are the archive's own entries, checked as such).
void LintLooseBitmaps(const LintInput& input, LintReport* report) {
    for (const char* folder : {"CG", "X"}) {
        std::vector<HostFolderFile> files;
        std::vector<std::string> refusedLinks;
        std::string realRoot;
        ListHostFolder(JoinHostPath(input.folder, folder), &files, &refusedLinks, &realRoot);
        for (const HostFolderFile& file : files) {
            if (!IsBitmapName(HostFileName(file.relative)))
                continue;
            const std::string name = std::string("./") + folder + "/" + file.relative;
            std::string bytes;
            ++report->looseFilesChecked;
            if (!ReadFileBytes(file.path, &bytes))
                report->Add(name, 0, "cannot be read");
            else
                LintBitmap(name, bytes, bytes.size(), report);
        }
    }
}

void LintEffect(const LintInput& input, int slot, LintReport* report) {
    const char* path = SOUND_EFFECT_FILES[slot];
    std::string bytes;
    ++report->looseFilesChecked;
    if (!ReadFileBytes(LooseFilePath(input, path), &bytes)) {
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
    ++report->looseFilesChecked;
    std::uint64_t size = 0;
    const int handle = OpenHostFileHandle(LooseFilePath(input, path), &size);
    if (handle < 0) {
        report->Add(name, 0, "missing: the game plays it as music");
        return;
    }
    sslib2::COggFileReader reader;
    if (!reader.OpenStream({handle, 0, static_cast<std::uint32_t>(size)})) {
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
        // The loading picture is read from its file, not through the size query.
        const bool loose = key == LooseFileName(LOADING_PICTURE_PATH);
        if (IsBitmapName(key))
            LintBitmap(key, bytes, loose ? bytes.size() : bytes.size() * 4, report);
    }
    if (!input.hasFolder)
        return;
    if (GetHostEntryKind(LooseFilePath(input, LOADING_PICTURE_PATH)) != HOST_FILE)
        report->Add(LooseFileName(LOADING_PICTURE_PATH), 0,
                    "missing: the game shows it while it loads");
    if (GetHostEntryKind(JoinHostPath(input.folder, "ZRN.dat")) == HOST_FILE)
        LintLooseBitmaps(input, report);
    for (int slot = 0; slot < SOUND_EFFECT_FILE_COUNT; ++slot)
        LintEffect(input, slot, report);
    std::set<std::string> music;
    for (const char* path : MUSIC_FILES) {
        if (music.insert(path).second)
            LintMusic(input, path, report);
    }
}
