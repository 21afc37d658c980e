#include "render/model.h"

#include "archive/line_ends.h"
#include "core/file_report.h"
#include "core/tokenizer.h"
#include "render/assets.h"
#include "render/render_setup.h"

#include "platform/gfx/texture_loader.h"
#include "platform/window/message_box.h"

#include <cstdlib>
#include <cstring>

namespace {

GfxTexture* LoadModelTexture(const char* key) {
    std::uint32_t size = 0;
    char* block = ReadArchiveBlock(key, &size);
    if (!block)
        return nullptr;
    GfxTexture* texture = nullptr;
    CreateTextureFromFileInMemoryEx(g_pD3DDevice, block, size, GFX_DEFAULT, GFX_DEFAULT,
                                    GFX_DEFAULT, 0, FMT_A1R5G5B5, POOL_MANAGED, FILTER_LINEAR,
                                    FILTER_LINEAR, COLOR_KEY_MAGENTA, nullptr, &texture);
    std::free(block);
    return texture;
}

const char* NextModelToken(char** cursor) {
    const char* token = NextToken(cursor, TOKEN_DELIMITERS);
    return token ? token : "0";
}

} // namespace

bool Read3DDHeader(char** cursor, Model* model, char** textureKey) {
    model->vertexCount = 0;
    model->faceCount = 0;
    const char* header = NextToken(cursor, TOKEN_DELIMITERS);
    const char* vertexToken = NextToken(cursor, TOKEN_DELIMITERS);
    const char* faceToken = NextToken(cursor, TOKEN_DELIMITERS);
    char* key = NextToken(cursor, TOKEN_DELIMITERS);
    if (!header || !vertexToken || !faceToken || !key)
        return false;
    const int vertexCount = TokenToInt(vertexToken);
    const int faceCount = TokenToInt(faceToken);
    if (vertexCount < 0 || vertexCount > MODEL_MAX_COUNT || faceCount < 0 ||
        faceCount > MODEL_MAX_COUNT)
        return false;
    model->vertexCount = vertexCount;
    model->faceCount = faceCount;
    model->vertices.Reset(vertexCount, vertexCount);
    model->indices.Reset(faceCount, faceCount);
    // The carriage return of a CR LF line end; a key that ends its line with a
    // line feed alone keeps all its characters.
    const std::size_t keyLength = std::strlen(key);
    if (key[keyLength - 1] == '\r')
        key[keyLength - 1] = '\0';
    *textureKey = key;
    return true;
}

void Read3DDLists(char** cursor, Model* model) {
    for (std::int32_t j = 0; j < model->vertexCount; ++j) {
        ModelVertex vertex = {};
        vertex.x = TokenToFloat(NextModelToken(cursor));
        vertex.y = TokenToFloat(NextModelToken(cursor));
        vertex.z = TokenToFloat(NextModelToken(cursor));
        vertex.ny = 1.0f;
        vertex.u = TokenToFloat(NextModelToken(cursor));
        vertex.v = TokenToFloat(NextModelToken(cursor));
        model->vertices.Put(j, vertex);
    }
    for (std::int32_t f = 0; f < model->faceCount; ++f) {
        for (std::int32_t k = 0; k < 3; ++k)
            model->indices.Put(3 * f + k, TokenToInt(NextModelToken(cursor)));
    }
}

void Parse3DD(char* text, Model* model) {
    char* cursor = text;
    char* key = nullptr;
    if (!Read3DDHeader(&cursor, model, &key)) {
        model->vertices.Reset(0, 0);
        model->indices.Reset(0, 0);
        ShowMessageBox("Load3DD の読み込み失敗", "ERROR");
        return;
    }
    model->texture = LoadModelTexture(key);
    if (!model->texture) {
        ShowMessageBox("Load3DD の読み込み失敗", "ERROR");
        ReportFileFailure(key, "the texture a model names does not load");
        return;
    }
    Read3DDLists(&cursor, model);
}

void FillModelVertices(const Model& model, float sx, float sy, float sz, ModelVertex* out) {
    for (std::int32_t j = 0; j < model.vertexCount; ++j) {
        ModelVertex vertex = j < model.vertices.capacity ? model.vertices.data[j] : ModelVertex{};
        vertex.x *= sx;
        vertex.y *= sy;
        vertex.z *= sz;
        out[j] = vertex;
    }
}

void FillModelIndices(const Model& model, std::uint16_t* out) {
    for (std::int32_t f = 0; f < model.faceCount; ++f) {
        std::uint16_t face[3] = {};
        bool inside = true;
        for (std::int32_t k = 0; k < 3; ++k) {
            const std::int32_t i = 3 * f + k;
            const std::int32_t value = i < model.indices.capacity ? model.indices.data[i] : 0;
            face[k] = static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xffffu);
            inside = inside && face[k] < model.vertexCount;
        }
        for (std::int32_t k = 0; k < 3; ++k)
            out[3 * f + k] = inside ? face[k] : 0;
    }
}

HRESULT Load3DD(Model* model, char* text, float sx, float sy, float sz) {
    ConvertLoneCarriageReturns(text, std::strlen(text));
    Parse3DD(text, model);
    if (model->vertexCount == 0)
        return E_FAIL;
    GfxMesh* mesh = nullptr;
    if (FAILED(CreateMeshFVF(model->faceCount, model->vertexCount, MESH_SYSTEMMEM, FVF_MODEL_VERTEX,
                             g_pD3DDevice, &mesh)))
        return E_FAIL;
    model->mesh = mesh;
    void* vertices = nullptr;
    if (SUCCEEDED(mesh->LockVertexBuffer(LOCK_DISCARD, &vertices))) {
        FillModelVertices(*model, sx, sy, sz, static_cast<ModelVertex*>(vertices));
        mesh->UnlockVertexBuffer();
    }
    void* indices = nullptr;
    if (SUCCEEDED(mesh->LockIndexBuffer(LOCK_DISCARD, &indices))) {
        FillModelIndices(*model, static_cast<std::uint16_t*>(indices));
        mesh->UnlockIndexBuffer();
    }
    return 1;
}
