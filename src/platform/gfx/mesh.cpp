#include "platform/gfx/mesh.h"

#include "platform/gfx/gfx_internal.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t MODEL_STRIDE = sizeof(GfxModelVertex);

bool NamesMissingVertex(const GfxMesh* mesh, const std::uint16_t* face) {
    return face[0] >= mesh->vertexCount || face[1] >= mesh->vertexCount ||
           face[2] >= mesh->vertexCount;
}

// A face naming a vertex beyond the mesh would make GL read outside the buffer: such a
// face is drawn as nothing instead, from a cleaned copy. A sound mesh, the usual case,
// goes up as it is, without a copy.
void UploadIndices(GfxMesh* mesh) {
    const std::size_t count = static_cast<std::size_t>(mesh->faceCount) * 3;
    const std::uint16_t* source = mesh->indices;
    std::vector<std::uint16_t> cleaned;
    for (std::size_t f = 0; f < count; f += 3) {
        if (!NamesMissingVertex(mesh, mesh->indices + f))
            continue;
        if (cleaned.empty())
            cleaned.assign(mesh->indices, mesh->indices + count);
        cleaned[f] = cleaned[f + 1] = cleaned[f + 2] = 0;
        source = cleaned.data();
    }
    BindVertexArray(mesh->vertexArray);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh->indexBuffer);
    glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0,
                    static_cast<GLsizeiptr>(count * sizeof(std::uint16_t)), source);
    mesh->indicesDirty = false;
}

void UploadVertices(GfxMesh* mesh) {
    glBindBuffer(GL_ARRAY_BUFFER, mesh->vertexBuffer);
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(mesh->vertexCount) * MODEL_STRIDE,
                    mesh->vertices);
    mesh->verticesDirty = false;
}

} // namespace

HRESULT CreateMeshFVF(std::uint32_t faces, std::uint32_t vertices, std::uint32_t, std::uint32_t fvf,
                      GfxDevice* device, GfxMesh** mesh) {
    if (!mesh)
        return E_FAIL;
    *mesh = nullptr;
    if (!device || fvf != FVF_MODEL_VERTEX || faces == 0 || vertices == 0 || vertices > 65535 ||
        faces > (64u << 20) / 6)
        return E_FAIL;
    auto* created = new GfxMesh;
    created->faceCount = faces;
    created->vertexCount = vertices;
    created->vertices = static_cast<std::uint8_t*>(std::calloc(vertices, MODEL_STRIDE));
    created->indices =
        static_cast<std::uint16_t*>(std::calloc(static_cast<std::size_t>(faces) * 3, 2));
    if (!created->vertices || !created->indices) {
        std::free(created->vertices);
        std::free(created->indices);
        delete created;
        return E_FAIL;
    }
    glGenVertexArrays(1, &created->vertexArray);
    glGenBuffers(1, &created->vertexBuffer);
    glGenBuffers(1, &created->indexBuffer);
    BindVertexArray(created->vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, created->vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices) * MODEL_STRIDE, nullptr,
                 GL_STATIC_DRAW);
    SetVertexLayout(FVF_MODEL_VERTEX);
    glVertexAttrib4f(ATTRIB_COLOR, 1.0f, 1.0f, 1.0f, 1.0f);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, created->indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(faces) * 6, nullptr,
                 GL_STATIC_DRAW);
    *mesh = created;
    return S_OK;
}

HRESULT GfxMesh::LockVertexBuffer(std::uint32_t, void** data) {
    if (!data)
        return E_FAIL;
    *data = vertices;
    return S_OK;
}

HRESULT GfxMesh::UnlockVertexBuffer() {
    verticesDirty = true;
    return S_OK;
}

HRESULT GfxMesh::LockIndexBuffer(std::uint32_t, void** data) {
    if (!data)
        return E_FAIL;
    *data = indices;
    return S_OK;
}

HRESULT GfxMesh::UnlockIndexBuffer() {
    indicesDirty = true;
    return S_OK;
}

HRESULT GfxMesh::DrawSubset(std::uint32_t subset) {
    if (subset != 0)
        return S_OK;
    PrepareDraw(FVF_MODEL_VERTEX);
    if (verticesDirty)
        UploadVertices(this);
    if (indicesDirty)
        UploadIndices(this);
    BindVertexArray(vertexArray);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(faceCount * 3), GL_UNSIGNED_SHORT, nullptr);
    return S_OK;
}

void GfxMesh::Release() {
    if (g_gfx.context) {
        if (g_gfx.gl.vertexArray == vertexArray)
            BindVertexArray(0);
        glDeleteVertexArrays(1, &vertexArray);
        glDeleteBuffers(1, &vertexBuffer);
        glDeleteBuffers(1, &indexBuffer);
    }
    std::free(vertices);
    std::free(indices);
    delete this;
}

HRESULT ComputeNormals(GfxMesh* mesh, const std::uint32_t* adjacency) {
    if (!mesh || adjacency)
        return E_FAIL;
    struct Position {
        float x, y, z;
    };
    std::vector<Vec3> sums(mesh->vertexCount, Vec3{0.0f, 0.0f, 0.0f});
    auto position = [mesh](std::uint16_t i) {
        Position p;
        std::memcpy(&p, mesh->vertices + static_cast<std::size_t>(i) * MODEL_STRIDE, sizeof(p));
        return p;
    };
    for (std::uint32_t f = 0; f < mesh->faceCount; ++f) {
        const std::uint16_t* face = mesh->indices + f * 3;
        if (NamesMissingVertex(mesh, face))
            continue;
        const Position a = position(face[0]), b = position(face[1]), c = position(face[2]);
        const Vec3 e1{b.x - a.x, b.y - a.y, b.z - a.z};
        const Vec3 e2{c.x - a.x, c.y - a.y, c.z - a.z};
        // Left-handed: (b − a) × (c − a) points toward a viewer that sees a, b, c clockwise.
        Vec3 n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
        Vec3Normalize(&n, &n);
        for (int k = 0; k < 3; ++k) {
            sums[face[k]].x += n.x;
            sums[face[k]].y += n.y;
            sums[face[k]].z += n.z;
        }
    }
    for (std::uint32_t v = 0; v < mesh->vertexCount; ++v) {
        Vec3 n;
        Vec3Normalize(&n, &sums[v]);
        std::memcpy(mesh->vertices + static_cast<std::size_t>(v) * MODEL_STRIDE +
                        offsetof(GfxModelVertex, nx),
                    &n, sizeof(n));
    }
    mesh->verticesDirty = true;
    return S_OK;
}
