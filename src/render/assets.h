// The asset set: every texture, the three models and the two effects, loaded once by
// the start-up load into process-wide slots that the drawing code reads.
#pragma once

#include "render/model.h"

#include "platform/gfx/texture_loader.h"

#include <cstdint>

constexpr int PICTURE_COUNT = 9;
constexpr int CHARACTER_TEXTURE_COUNT = 7;
constexpr int MODEL_TABLE_SIZE = 100;

struct Picture {
    GfxTexture* texture;
    ImageInfo info; // the file's own width and height
};

extern GfxTexture* g_textbackTexture;
extern GfxTexture* g_cursorTexture;
extern GfxTexture* g_clickTexture;
extern GfxTexture* g_selectbackTexture;
extern GfxTexture* g_mapchipTexture;
extern GfxTexture* g_effectTexture;
extern GfxTexture* g_characterTextures[CHARACTER_TEXTURE_COUNT];
extern Picture g_pictures[PICTURE_COUNT];          // entries 1 to 7 are loaded
extern ModelObject g_modelTable[MODEL_TABLE_SIZE]; // by event-object kind; slot 1 is loaded
extern ModelObject g_cursorModel;                  // the 3D cursor
extern Model g_fogVolumeModel;                     // the closed mesh the fog fills

// One texture of the asset set: the archive key it is read from, the format it is
// made in, the slot it goes to and the message shown when it fails.
struct TextureAsset {
    const char* key;
    std::uint32_t format;
    GfxTexture** slot;
    Picture* picture; // set: the image information is kept too
    const char* failure;
};

// The textures in the order LoadAssets reads them.
constexpr int TEXTURE_ASSET_COUNT = 20;
extern const TextureAsset TEXTURE_ASSETS[TEXTURE_ASSET_COUNT];
// The models, read after the textures.
constexpr const char* CURSOR_MODEL_KEY = "./X/cursor.3dd";
constexpr const char* FOG_VOLUME_MODEL_KEY = "./X/space.3dd";
constexpr const char* QUESTION_MODEL_KEY = "./X/question.3dd";

// Loads in the fixed order; a texture that fails shows its message and the load goes on
// with the next. An effect failure stops it (the question mark needs the effects).
void LoadAssets();

// Reads one archive entry into a new block: the size query, the allocation, the read.
// Null (after the archive's own messages) when the entry cannot be read; the block
// is freed with std::free. size receives the block's length.
char* ReadArchiveBlock(const char* key, std::uint32_t* size);
