#include "MeshPreview.h"

#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshMaterial.h"

#include <cctype>
#include <cmath>
#include <cstdint>

void previewTextureColour(const char *textureName, unsigned char rgb[3]) {
    if (!textureName || !textureName[0]) {
        rgb[0] = rgb[1] = rgb[2] = 200;
        return;
    }
    uint32_t hash = 2166136261u;  // FNV-1a
    for (const char *c = textureName; *c; c++) {
        hash ^= static_cast<uint32_t>(std::tolower(static_cast<unsigned char>(*c)));
        hash *= 16777619u;
    }
    hash ^= hash >> 15;  // spread similar names over the whole hue circle
    hash *= 0x2C1B3C6Du;
    hash ^= hash >> 12;
    float hue = static_cast<float>(hash % 360) / 60.0f;
    // Three brightness steps as well, so that neighbouring hues still differ.
    const float high = 235 - 30 * static_cast<float>((hash >> 9) % 3), low = high - 125;
    for (int c = 0; c < 3; c++) {
        // Each channel rises and falls over the hue circle, one third apart.
        float h = std::fmod(hue + 4.0f * static_cast<float>(c), 6.0f);
        float ramp = h < 1 ? h : h < 3 ? 1 : h < 4 ? 4 - h : 0;
        rgb[c] = static_cast<unsigned char>(low + (high - low) * ramp);
    }
}

void previewMeshColour(const KxRlMesh *mesh, unsigned char rgb[3]) {
    const KxRlMeshMaterial *material = mesh ? mesh->getMaterial() : nullptr;
    const KxRlMeshBitmap *base = material ? material->getBitmap(0) : nullptr;
    previewTextureColour(base ? base->getFilename() : nullptr, rgb);
}

void appendMeshTriangles(const KxRlMesh *mesh, std::vector<PreviewTriangle> *out, bool cull, PreviewView view) {
    const _KxDTexVertex *vertices = mesh->getVertexList();
    const uint16_t *indices = mesh->getIndexList();
    if (!vertices || !indices) return;
    unsigned char rgb[3];
    previewMeshColour(mesh, rgb);
    out->reserve(out->size() + static_cast<size_t>(mesh->getIndexCount() / 3));
    for (int i = 0; i + 2 < mesh->getIndexCount(); i += 3) {
        const _KxDVector3D *corners[3] = {&vertices[indices[i]].position, &vertices[indices[i + 1]].position,
                                          &vertices[indices[i + 2]].position};
        if (cull && !previewFacesViewer(corners[0], corners[1], corners[2], view)) continue;
        PreviewTriangle t = {};
        for (int k = 0; k < 3; k++) {
            t.p[k][0] = corners[k]->x;
            t.p[k][1] = corners[k]->y;
            t.p[k][2] = corners[k]->z;
        }
        t.shade = previewShade(corners[0], corners[1], corners[2]);
        for (int c = 0; c < 3; c++) t.rgb[c] = rgb[c];
        out->push_back(t);
    }
}

std::vector<PreviewTriangle> meshFileTriangles(const KxRlMeshFile &file, bool cull, PreviewView view) {
    std::vector<PreviewTriangle> triangles;
    for (int g = 0; g < file.getMeshGroupCount(); g++)
        for (int m = 0; m < file.getMeshCount(g); m++) appendMeshTriangles(file.getMesh(g, m), &triangles, cull, view);
    return triangles;
}
