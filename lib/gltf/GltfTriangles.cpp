#include "GltfTriangles.h"

#include "IOException.h"

#include <cmath>
#include <string>
#include <tiny_gltf.h>

namespace {

void addTriangle(std::vector<uint32_t> &list, uint32_t a, uint32_t b, uint32_t c) {
    list.push_back(a);
    list.push_back(b);
    list.push_back(c);
}

// Copies vertex `from` of `mesh` into slot `to` of `data`.
void copyVertex(const GltfTriangleMesh &mesh, uint32_t from, KxDMeshData *data, size_t to) {
    data->getVertexList()[to] = mesh.vertices[from];
    if (data->hasLightMap()) data->getLightMapList()[to] = mesh.lightMap[from];
}

}  // namespace

std::vector<uint32_t> gltfTriangleList(int mode, const std::vector<uint32_t> &indices) {
    std::vector<uint32_t> list;
    size_t n = indices.size();
    switch (mode) {
    case -1:
    case TINYGLTF_MODE_TRIANGLES:
        if (n % 3 != 0)
            throw IOException("draws triangles from " + std::to_string(n) + " indices, which is no multiple of 3");
        return indices;
    case TINYGLTF_MODE_TRIANGLE_STRIP:
        // Triangle i is (i, i+1, i+2), with the last two swapped for odd i, so all face one way.
        for (size_t i = 0; i + 2 < n; i++) {
            uint32_t a = indices[i], b = indices[i + 1 + i % 2], c = indices[i + 2 - i % 2];
            if (a != b && b != c && a != c) addTriangle(list, a, b, c);
        }
        return list;
    case TINYGLTF_MODE_TRIANGLE_FAN:
        for (size_t i = 0; i + 2 < n; i++) {
            uint32_t a = indices[i + 1], b = indices[i + 2], c = indices[0];
            if (a != b && b != c && a != c) addTriangle(list, a, b, c);
        }
        return list;
    default:
        throw IOException("has drawing mode " + std::to_string(mode) + ", which glTF 2.0 does not define");
    }
}

void gltfFlatNormals(GltfTriangleMesh *mesh) {
    GltfTriangleMesh flat;
    flat.vertices.reserve(mesh->triangles.size());
    if (!mesh->lightMap.empty()) flat.lightMap.reserve(mesh->triangles.size());
    for (size_t t = 0; t + 2 < mesh->triangles.size(); t += 3) {
        const _KxDVector3D &a = mesh->vertices[mesh->triangles[t]].position;
        const _KxDVector3D &b = mesh->vertices[mesh->triangles[t + 1]].position;
        const _KxDVector3D &c = mesh->vertices[mesh->triangles[t + 2]].position;
        double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z, vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
        double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
        double length = std::sqrt(nx * nx + ny * ny + nz * nz);
        _KxDVector3D normal = {0.0f, 0.0f, 1.0f};
        if (length > 0)
            normal = {static_cast<float>(nx / length), static_cast<float>(ny / length),
                      static_cast<float>(nz / length)};
        for (int corner = 0; corner < 3; corner++) {
            uint32_t from = mesh->triangles[t + static_cast<size_t>(corner)];
            _KxDTexVertex vertex = mesh->vertices[from];
            vertex.normal = normal;
            flat.vertices.push_back(vertex);
            if (!mesh->lightMap.empty()) flat.lightMap.push_back(mesh->lightMap[from]);
            flat.triangles.push_back(static_cast<uint32_t>(flat.vertices.size() - 1));
        }
    }
    *mesh = std::move(flat);
}

std::vector<std::unique_ptr<KxDMeshData>> gltfSplitMesh(const GltfTriangleMesh &mesh, int maxVertices) {
    std::vector<std::unique_ptr<KxDMeshData>> pieces;
    bool lightMap = !mesh.lightMap.empty();
    size_t limit = static_cast<size_t>(maxVertices);
    if (mesh.vertices.size() <= limit) {
        std::unique_ptr<KxDMeshData> data(new KxDMeshData());
        data->allocate(static_cast<int>(mesh.vertices.size()), static_cast<int>(mesh.triangles.size() / 3), lightMap);
        for (size_t v = 0; v < mesh.vertices.size(); v++) copyVertex(mesh, static_cast<uint32_t>(v), data.get(), v);
        for (size_t i = 0; i < mesh.triangles.size(); i++)
            data->getIndexList()[i] = static_cast<uint16_t>(mesh.triangles[i]);
        pieces.push_back(std::move(data));
        return pieces;
    }

    // Greedy: triangles are taken in order while their new vertices still fit the piece.
    const uint32_t kUnused = 0xFFFFFFFFu;
    std::vector<uint32_t> local(mesh.vertices.size(), kUnused);
    size_t t = 0;
    while (t < mesh.triangles.size()) {
        std::vector<uint32_t> used;  // the piece's vertices, by source number
        size_t first = t;
        for (; t < mesh.triangles.size(); t += 3) {
            size_t fresh = 0;
            for (size_t c = 0; c < 3; c++)
                if (local[mesh.triangles[t + c]] == kUnused) fresh++;
            if (used.size() + fresh > limit) break;
            for (size_t c = 0; c < 3; c++) {
                uint32_t v = mesh.triangles[t + c];
                if (local[v] != kUnused) continue;
                local[v] = static_cast<uint32_t>(used.size());
                used.push_back(v);
            }
        }
        std::unique_ptr<KxDMeshData> data(new KxDMeshData());
        data->allocate(static_cast<int>(used.size()), static_cast<int>((t - first) / 3), lightMap);
        for (size_t v = 0; v < used.size(); v++) copyVertex(mesh, used[v], data.get(), v);
        for (size_t i = first; i < t; i++)
            data->getIndexList()[i - first] = static_cast<uint16_t>(local[mesh.triangles[i]]);
        for (uint32_t v : used) local[v] = kUnused;
        pieces.push_back(std::move(data));
    }
    return pieces;
}
