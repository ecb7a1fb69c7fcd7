#include "BenchMesh.h"

#include "IOException.h"
#include "KxDMeshData.h"
#include "KxRlMeshGroup.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlMeshMaterial.h"
#include "KxRlRebuiltProp.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int kMeshesPerGroup = 5;

// Columns of an object of `count` vertices: the divisor of `count` closest to its square
// root, so that the grid is as square as the count allows.
int gridColumns(int count) {
    int best = 1;
    double root = std::sqrt(static_cast<double>(count));
    for (int c = 1; c <= count; c++) {
        if (count % c == 0 && std::fabs(c - root) < std::fabs(best - root)) best = c;
    }
    return best;
}

// Appends the triangles of a patch of `rows` x `columns` vertices starting at `first`.
void addPatchTriangles(std::vector<uint16_t> &indices, int first, int rows, int columns) {
    for (int row = 0; row + 1 < rows; row++) {
        for (int column = 0; column + 1 < columns; column++) {
            int a = first + row * columns + column, b = a + 1, c = a + columns, d = c + 1;
            for (int corner : {a, b, d, a, d, c}) indices.push_back(static_cast<uint16_t>(corner));
        }
    }
}

}  // namespace

KxDMeshData *benchMesh(const BenchMeshShape &shape, int index) {
    const int perObject = shape.vertices / shape.objects;
    if (shape.objects < 1 || perObject < 1) throw IOException("Benchmark mesh needs at least one vertex per object");
    const int columns = gridColumns(perObject);
    const int rows = perObject / columns;
    // Two patches side by side; the second's first column sits on the first's last column.
    const int leftColumns = columns >= 4 ? columns / 2 : columns;
    const int rightColumns = columns - leftColumns;
    const int perRow = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(shape.objects))));
    const float shift = static_cast<float>(index) * 0.25f;

    std::vector<_KxDTexVertex> vertices;
    std::vector<_KxDVector2D> lightMap;
    std::vector<uint16_t> indices;
    for (int object = 0; object < shape.objects; object++) {
        float originX = static_cast<float>((object % perRow) * (columns + 3)) + shift;
        float originY = static_cast<float>((object / perRow) * (rows + 3));
        int patchStart[2] = {0, leftColumns - 1};
        int patchColumns[2] = {leftColumns, rightColumns};
        for (int patch = 0; patch < 2; patch++) {
            if (patchColumns[patch] == 0) continue;
            int first = static_cast<int>(vertices.size());
            for (int row = 0; row < rows; row++) {
                for (int column = 0; column < patchColumns[patch]; column++) {
                    int gridColumn = patchStart[patch] + column;
                    _KxDTexVertex v;
                    float x = originX + static_cast<float>(gridColumn), y = originY + static_cast<float>(row);
                    kxdVecSet(&v.position, x, y, 0.05f * static_cast<float>((gridColumn * row) % 7));
                    kxdVecSet(&v.normal, 0.0f, 0.0f, 1.0f);
                    kxdVecSet(&v.texture, x / 8.0f, y / 8.0f);
                    vertices.push_back(v);
                    _KxDVector2D uv;
                    kxdVecSet(&uv, static_cast<float>(gridColumn) / static_cast<float>(columns),
                              static_cast<float>(row) / static_cast<float>(rows));
                    lightMap.push_back(uv);
                }
            }
            addPatchTriangles(indices, first, rows, patchColumns[patch]);
        }
    }

    std::unique_ptr<KxDMeshData> data(new KxDMeshData());
    data->allocate(static_cast<int>(vertices.size()), static_cast<int>(indices.size() / 3), true);
    std::copy(vertices.begin(), vertices.end(), data->getVertexList());
    std::copy(lightMap.begin(), lightMap.end(), data->getLightMapList());
    std::copy(indices.begin(), indices.end(), data->getIndexList());
    return data.release();
}

void writeBenchFile(const std::string &path, const BenchMeshShape &shape) {
    KxRlMeshBitmap bitmap("brick.dds"), lightMapBitmap("building_lm.dds");
    KxRlMeshMaterial material(&bitmap, nullptr, &lightMapBitmap, nullptr);
    std::vector<std::unique_ptr<KxRlMeshGroup>> groups;
    KxRlRebuiltProp prop;
    for (int first = 0; first < shape.meshes; first += kMeshesPerGroup) {
        int count = std::min(kMeshesPerGroup, shape.meshes - first);
        std::vector<std::unique_ptr<KxDMeshData>> data;
        std::vector<KxDMeshData *> list;
        for (int m = 0; m < count; m++) {
            data.emplace_back(benchMesh(shape, first + m));
            list.push_back(data.back().get());
        }
        groups.emplace_back(KxRlMeshGroup::CreateFromData(&material, count, list.data()));
        prop.addMeshGroupRef(new KxRlMeshGroupRef(groups.back().get()));
    }
    prop.exportMesh(path.c_str());
}
