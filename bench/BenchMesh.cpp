#include "BenchMesh.h"

#include "KxDMeshData.h"
#include "KxRlMeshGroup.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlMeshMaterial.h"
#include "KxRlRebuiltProp.h"

#include <cstring>
#include <memory>

namespace {
constexpr int kSide = 16;             // vertices along each side of a patch
constexpr int kPatches = 256;         // 256 x 256 = 65,536 vertices
constexpr int kPatchesPerObject = 4;  // patches of an object share seams
constexpr int kFacesPerPatch = 2 * (kSide - 1) * (kSide - 1);

}  // namespace

// The mesh data of all patches. Patch p lies in row p / 4; within a row the patches follow
// each other along X so that the last column of one has exactly the positions of the first
// column of the next (separate vertices, equal positions).
KxDMeshData *buildingMesh() {
    KxDMeshData *data = new KxDMeshData();
    data->allocate(kPatches * kSide * kSide, kPatches * kFacesPerPatch, true);
    _KxDTexVertex *vertices = data->getVertexList();
    _KxDVector2D *lightMap = data->getLightMapList();
    uint16_t *indices = data->getIndexList();
    int v = 0, i = 0;
    for (int p = 0; p < kPatches; p++) {
        float originX = static_cast<float>((p % kPatchesPerObject) * (kSide - 1));
        float originY = static_cast<float>((p / kPatchesPerObject) * (kSide + 3));
        int first = v;
        for (int row = 0; row < kSide; row++) {
            for (int column = 0; column < kSide; column++, v++) {
                float x = originX + column, y = originY + row;
                kxdVecSet(&vertices[v].position, x, y, 0.05f * static_cast<float>((column * row) % 7));
                kxdVecSet(&vertices[v].normal, 0.0f, 0.0f, 1.0f);
                kxdVecSet(&vertices[v].texture, x / 8.0f, y / 8.0f);
                kxdVecSet(&lightMap[v], static_cast<float>(column) / kSide, static_cast<float>(row) / kSide);
            }
        }
        for (int row = 0; row + 1 < kSide; row++) {
            for (int column = 0; column + 1 < kSide; column++) {
                uint16_t a = static_cast<uint16_t>(first + row * kSide + column);
                uint16_t b = static_cast<uint16_t>(a + 1), c = static_cast<uint16_t>(a + kSide),
                         d = static_cast<uint16_t>(c + 1);
                const uint16_t quad[6] = {a, b, d, a, d, c};
                std::memcpy(&indices[i], quad, sizeof quad);
                i += 6;
            }
        }
    }
    return data;
}

void writeBuildingMesh(const std::string &path) {
    KxRlMeshBitmap bitmap("brick.dds"), lightMap("building_lm.dds");
    KxRlMeshMaterial material(&bitmap, nullptr, &lightMap, nullptr);
    std::unique_ptr<KxDMeshData> data(buildingMesh());
    KxDMeshData *list[1] = {data.get()};
    std::unique_ptr<KxRlMeshGroup> group(KxRlMeshGroup::CreateFromData(&material, 1, list));
    KxRlRebuiltProp prop;
    prop.addMeshGroupRef(new KxRlMeshGroupRef(group.get()));
    prop.exportMesh(path.c_str());
}
