#include "render/assets.h"

#include "archive/archive.h"
#include "render/render_setup.h"

#include "core/file_report.h"

#include "platform/gfx/bmp_failure.h"
#include "platform/window/message_box.h"

#include <algorithm>
#include <cstdlib>

GfxTexture* g_textbackTexture = nullptr;
GfxTexture* g_cursorTexture = nullptr;
GfxTexture* g_clickTexture = nullptr;
GfxTexture* g_selectbackTexture = nullptr;
GfxTexture* g_mapchipTexture = nullptr;
GfxTexture* g_effectTexture = nullptr;
GfxTexture* g_characterTextures[CHARACTER_TEXTURE_COUNT] = {};
Picture g_pictures[PICTURE_COUNT] = {};
ModelObject g_modelTable[MODEL_TABLE_SIZE];
ModelObject g_cursorModel;
Model g_fogVolumeModel;

const TextureAsset TEXTURE_ASSETS[TEXTURE_ASSET_COUNT] = {
    {"./X/textback.bmp", FMT_A1R5G5B5, &g_textbackTexture, nullptr, "textback.bmp の読み込み失敗"},
    {"./CG/cursor.bmp", FMT_A1R5G5B5, &g_cursorTexture, nullptr, "cursor.bmp の読み込み失敗"},
    {"./CG/click.bmp", FMT_A1R5G5B5, &g_clickTexture, nullptr, "click.bmp の読み込み失敗"},
    {"./CG/selectback.bmp", FMT_A1R5G5B5, &g_selectbackTexture, nullptr,
     "selectback.bmp の読み込み失敗"},
    {"./X/mapchip.bmp", FMT_A1R5G5B5, &g_mapchipTexture, nullptr, "mapchip.bmp の読み込み失敗"},
    {"./X/tavelle.bmp", FMT_A1R5G5B5, &g_characterTextures[0], nullptr,
     "tavelle.bmp の読み込み失敗"},
    {"./X/miroune.bmp", FMT_A1R5G5B5, &g_characterTextures[1], nullptr,
     "miroune.bmp の読み込み失敗"},
    {"./CG/miroune.bmp", FMT_A8R8G8B8, &g_pictures[1].texture, &g_pictures[1],
     "miroune.bmp の読み込み失敗"},
    {"./X/pendel.bmp", FMT_A1R5G5B5, &g_characterTextures[2], nullptr, "pendel.bmp の読み込み失敗"},
    {"./CG/pendel.bmp", FMT_A8R8G8B8, &g_pictures[2].texture, &g_pictures[2],
     "pendel.bmp の読み込み失敗"},
    {"./X/sorvane.bmp", FMT_A1R5G5B5, &g_characterTextures[3], nullptr,
     "sorvane.bmp の読み込み失敗"},
    {"./CG/sorvane.bmp", FMT_A8R8G8B8, &g_pictures[3].texture, &g_pictures[3],
     "sorvane.bmp の読み込み失敗"},
    {"./X/obrik.bmp", FMT_A1R5G5B5, &g_characterTextures[4], nullptr, "obrik.bmp の読み込み失敗"},
    {"./CG/obrik.bmp", FMT_A8R8G8B8, &g_pictures[4].texture, &g_pictures[4],
     "obrik.bmp の読み込み失敗"},
    {"./X/daskel.bmp", FMT_A1R5G5B5, &g_characterTextures[5], nullptr, "daskel.bmp の読み込み失敗"},
    {"./CG/daskel.bmp", FMT_A8R8G8B8, &g_pictures[5].texture, &g_pictures[5],
     "daskel.bmp の読み込み失敗"},
    {"./X/korvath.bmp", FMT_A1R5G5B5, &g_characterTextures[6], nullptr,
     "korvath.bmp の読み込み失敗"},
    {"./CG/korvath.bmp", FMT_A8R8G8B8, &g_pictures[6].texture, &g_pictures[6],
     "korvath.bmp の読み込み失敗"},
    {"./CG/end.bmp", FMT_A8R8G8B8, &g_pictures[7].texture, &g_pictures[7],
     "end.bmp の読み込み失敗"},
    {"./X/effect.bmp", FMT_A1R5G5B5, &g_effectTexture, nullptr, "effect.bmp の読み込み失敗"},
};

namespace {

void LoadTexture(const TextureAsset& asset) {
    // A reload loads every slot anew; what the slot held goes first, so that nothing
    // is kept twice.
    if (*asset.slot) {
        (*asset.slot)->Release();
        *asset.slot = nullptr;
    }
    std::uint32_t size = 0;
    char* block = ReadArchiveBlock(asset.key, &size);
    HRESULT result = E_FAIL;
    // The archive has said why a block is missing; a block that does not become a
    // texture is said here.
    const char* reason = "missing from the archive";
    if (block) {
        result = CreateTextureFromFileInMemoryEx(
            g_pD3DDevice, block, size, GFX_DEFAULT, GFX_DEFAULT, GFX_DEFAULT, 0, asset.format,
            POOL_MANAGED, FILTER_LINEAR, FILTER_LINEAR, COLOR_KEY_MAGENTA,
            asset.picture ? &asset.picture->info : nullptr, asset.slot);
        if (FAILED(result)) {
            reason = DescribeBitmapFailure(block, size);
            if (!reason)
                reason = "the graphics device could not make a texture of it";
        }
        std::free(block);
    }
    if (FAILED(result)) {
        ShowMessageBox(asset.failure, "ERROR");
        ReportFileFailure(asset.key, reason);
    }
}

// A reload loads every model again; whoever copied the old ones drops its copies first.
void ReleaseModel(Model* model) {
    if (model->mesh)
        model->mesh->Release();
    if (model->texture)
        model->texture->Release();
    model->mesh = nullptr;
    model->texture = nullptr;
}

void LoadModel(const char* key, Model* model, float sx, float sy, float sz) {
    ReleaseModel(model);
    std::uint32_t size = 0;
    char* block = ReadArchiveBlock(key, &size);
    if (!block)
        return;
    if (FAILED(Load3DD(model, block, sx, sy, sz)))
        ReportFileFailure(key, "not a .3dd model the game can read");
    std::free(block);
}

} // namespace

char* ReadArchiveBlock(const char* key, std::uint32_t* size) {
    *size = 0;
    const std::uint32_t length = GetArchiveFileSize(key);
    if (length == ARCHIVE_SIZE_NOT_FOUND)
        ReadMissingArchiveFile(key);
    if (length == ARCHIVE_SIZE_NOT_FOUND)
        return nullptr;
    // The decoded bytes are a quarter of the length; the rest leaves room for the NUL
    // the read adds, which lets the text parsers stop. An empty file still gets a block
    // (an empty text), so that its loader reports it instead of leaving its slot silently.
    char* block = static_cast<char*>(std::calloc(std::max<std::uint32_t>(length, 1), 1));
    if (!block)
        return nullptr;
    if (FAILED(ReadArchiveFile(key, block))) {
        std::free(block);
        return nullptr;
    }
    *size = length;
    return block;
}

// A broken file costs only its own slot: every texture is tried, so that one bad
// bitmap does not leave the ground, the fog and the markers without theirs.
void LoadAssets() {
    for (const TextureAsset& asset : TEXTURE_ASSETS)
        LoadTexture(asset);
    LoadModel(CURSOR_MODEL_KEY, &g_cursorModel.model, 2.0f, 2.0f, 2.0f);
    LoadModel(FOG_VOLUME_MODEL_KEY, &g_fogVolumeModel, 24.0f, 64.0f, 24.0f);
    if (!CreateEffects())
        return;
    LoadModel(QUESTION_MODEL_KEY, &g_modelTable[1].model, 2.0f, 2.0f, 2.0f);
}
