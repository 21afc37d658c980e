// The .3dd model texts: a header, a texture key, textured vertices and triangles.
// Load3DD turns one into a mesh with its texture; the Model record also carries the
// terrain mesh, and ModelObject adds the lighting vectors of the Basic technique.
#pragma once

#include "platform/gfx/device.h"
#include "platform/gfx/mesh.h"
#include "platform/win_types.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

// Element array that grows by a fixed step. The count is not kept up by writers.
template <typename T> struct GrowableArray {
    std::int32_t count = 0;
    std::int32_t capacity = 0;
    std::int32_t growthStep = 0;
    T* data = nullptr;

    GrowableArray() = default;
    GrowableArray(const GrowableArray&) = delete;
    GrowableArray& operator=(const GrowableArray&) = delete;
    ~GrowableArray() { std::free(data); }

    // Drops the elements and makes room for exactly `size` zeroed ones; `step` is
    // what each growth adds.
    void Reset(std::int32_t size, std::int32_t step) {
        std::free(data);
        capacity = size > 0 ? size : 0;
        growthStep = step;
        data = capacity > 0 ? static_cast<T*>(std::calloc(capacity, sizeof(T))) : nullptr;
        if (!data)
            capacity = 0;
    }

    // Writes element i, first growing by whole steps until i fits. A step that
    // could never reach i (zero or negative) grows to just past i instead of looping.
    void Put(std::int32_t i, const T& value) {
        if (i < 0)
            return;
        if (i >= capacity && !Grow(i))
            return;
        data[i] = value;
    }

  private:
    bool Grow(std::int32_t i) {
        std::int64_t wanted = capacity;
        if (growthStep > 0) {
            const std::int64_t steps = (static_cast<std::int64_t>(i) - wanted) / growthStep + 1;
            wanted += steps * growthStep;
        } else {
            wanted = static_cast<std::int64_t>(i) + 1;
        }
        if (wanted > INT32_MAX)
            wanted = static_cast<std::int64_t>(i) + 1;
        T* block = static_cast<T*>(std::calloc(static_cast<std::size_t>(wanted), sizeof(T)));
        if (!block)
            return false;
        if (data)
            std::memcpy(block, data, sizeof(T) * static_cast<std::size_t>(capacity));
        std::free(data);
        data = block;
        capacity = static_cast<std::int32_t>(wanted);
        return true;
    }
};

// Position, normal, one texture pair: vertex format FVF_MODEL_VERTEX.
using ModelVertex = GfxModelVertex;

struct Model {
    GfxMesh* mesh = nullptr;
    Material material = {}; // fixed-function; set only for the terrain
    GfxTexture* texture = nullptr;
    std::int32_t vertexCount = 0;
    std::int32_t faceCount = 0;
    GrowableArray<std::int32_t> indices; // three per face, as read
    GrowableArray<ModelVertex> vertices; // as read, before scaling
};

struct ModelObject {
    Model model;
    float Ambient[4] = {};
    float Diffuse[4] = {};
    float Light[4] = {}; // direction x, y, z and a fourth value
};

// Counts above this cannot be drawn with 16-bit indices; such a text is refused.
constexpr std::int32_t MODEL_MAX_COUNT = 65535;

// Reads the header tokens (ignored value, V, T) and the texture key, whose last byte
// (the CR of a CR LF line end) is dropped. Fills the counts and sizes both arrays.
// false, with the counts left 0, when the header is cut short or a count is negative
// or above MODEL_MAX_COUNT.
bool Read3DDHeader(char** cursor, Model* model, char** textureKey);
// Reads the V vertices (normal (0, 1, 0)) and T triangles that follow the key.
// Tokens missing at the end of the text read as 0.
void Read3DDLists(char** cursor, Model* model);
// Header, texture, lists. A texture that cannot be read or created shows
// "Load3DD の読み込み失敗" and leaves the lists zero.
void Parse3DD(char* text, Model* model);
// Parse3DD, then the mesh with positions scaled by (sx, sy, sz). 1, or E_FAIL when
// the text was refused or the mesh cannot be created.
HRESULT Load3DD(Model* model, char* text, float sx, float sy, float sz);

// What Load3DD writes into the mesh: the vertices scaled, and each index's low 16
// bits, with a face naming a vertex beyond the list made degenerate (0, 0, 0).
void FillModelVertices(const Model& model, float sx, float sy, float sz, ModelVertex* out);
void FillModelIndices(const Model& model, std::uint16_t* out);
