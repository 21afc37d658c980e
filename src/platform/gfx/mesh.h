// Meshes of the graphics utility: model vertices (format 0x112) with 16-bit indices,
// all faces in subset 0. Vertex and index data live in memory; Unlock hands them to
// GL, and a face naming a vertex beyond the mesh is drawn as nothing.
#pragma once

#include "platform/win_types.h"

#include <cstdint>

constexpr std::uint32_t MESH_SYSTEMMEM = 0x110; // vertex and index data in system memory
constexpr std::uint32_t LOCK_DISCARD = 0x2000;

class GfxDevice;

struct GfxMesh {
    // The vertices (GfxModelVertex) and the indices (three 16-bit values per face).
    HRESULT LockVertexBuffer(std::uint32_t flags, void** data);
    HRESULT UnlockVertexBuffer();
    HRESULT LockIndexBuffer(std::uint32_t flags, void** data);
    HRESULT UnlockIndexBuffer();
    // Draws every face with the device's current state, effect pass or fixed function.
    HRESULT DrawSubset(std::uint32_t subset);
    std::uint32_t GetNumFaces() const { return faceCount; }
    std::uint32_t GetNumVertices() const { return vertexCount; }
    void Release();

    // Device-private.
    std::uint32_t faceCount = 0;
    std::uint32_t vertexCount = 0;
    std::uint8_t* vertices = nullptr; // vertexCount GfxModelVertex
    std::uint16_t* indices = nullptr; // faceCount × 3
    std::uint32_t vertexBuffer = 0;   // GL names
    std::uint32_t indexBuffer = 0;
    std::uint32_t vertexArray = 0;
    bool verticesDirty = true;
    bool indicesDirty = true;
};

// faces ≥ 1 and 1 ≤ vertices ≤ 65535 (16-bit indices); fvf must be 0x112.
HRESULT CreateMeshFVF(std::uint32_t faces, std::uint32_t vertices, std::uint32_t options,
                      std::uint32_t fvf, GfxDevice* device, GfxMesh** mesh);

// Each vertex normal becomes the normalised sum of the unit normals of the faces that
// use the vertex (left-handed: a face clockwise on screen faces the viewer); a vertex
// used by no face, or whose face normals cancel, gets a zero normal. adjacency must be
// null.
HRESULT ComputeNormals(GfxMesh* mesh, const std::uint32_t* adjacency);
