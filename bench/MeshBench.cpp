// Speed of the object search and of a full read-and-rewrite on a building-sized mesh:
// 65,536 vertices and 115,200 triangles in 256 grid patches, joined in fours by exactly shared
// seam positions into 64 separate objects.

#include "KxDMeshData.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroup.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlMeshMaterial.h"
#include "KxRlMeshTraversal.h"
#include "KxRlRebuiltProp.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr int kSide = 16;             // vertices along each side of a patch
constexpr int kPatches = 256;         // 256 x 256 = 65,536 vertices
constexpr int kPatchesPerObject = 4;  // patches of an object share seams
constexpr int kFacesPerPatch = 2 * (kSide - 1) * (kSide - 1);

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

// The source model, written once through the writer and read back, and the files' folder.
struct BenchFiles {
    BenchFiles() {
        folder = (std::filesystem::temp_directory_path() /
                  ("reelkit-bench-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())))
                     .string();
        std::filesystem::create_directories(folder);
        source = folder + "/source.msh";
        output = folder + "/rewritten.msh";

        bitmap.reset(new KxRlMeshBitmap("brick.dds"));
        lightMap.reset(new KxRlMeshBitmap("building_lm.dds"));
        material.reset(new KxRlMeshMaterial(bitmap.get(), nullptr, lightMap.get(), nullptr));
        std::unique_ptr<KxDMeshData> data(buildingMesh());
        KxDMeshData *list[1] = {data.get()};
        std::unique_ptr<KxRlMeshGroup> group(KxRlMeshGroup::CreateFromData(material.get(), 1, list));
        KxRlRebuiltProp prop;
        prop.addMeshGroupRef(new KxRlMeshGroupRef(group.get()));
        prop.exportMesh(source.c_str());
        model.reset(KxRlMeshFile::CreateFromFile(source.c_str()));
    }
    ~BenchFiles() {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }

    std::string folder, source, output;
    std::unique_ptr<KxRlMeshBitmap> bitmap, lightMap;
    std::unique_ptr<KxRlMeshMaterial> material;
    std::unique_ptr<KxRlMeshFile> model;
};

BenchFiles &files() {
    static BenchFiles instance;
    return instance;
}

void BM_TraverseAll(benchmark::State &state) {
    const KxRlMesh *mesh = files().model->getMesh(0, 0);
    int objects = 0;
    for (auto _ : state) {
        KxRlMeshTraversal traversal(mesh);
        std::unique_ptr<KxRlTraverseAllResult> result(traversal.traverseAll());
        objects = result->getCount();
        benchmark::DoNotOptimize(objects);
    }
    state.counters["vertices"] = mesh->getVertexCount();
    state.counters["triangles"] = mesh->getIndexCount() / 3;
    state.counters["objects"] = objects;
}
BENCHMARK(BM_TraverseAll)->Unit(benchmark::kMillisecond);

void BM_ReadAndRewrite(benchmark::State &state) {
    const std::string &source = files().source;
    const std::string &output = files().output;
    for (auto _ : state) {
        std::unique_ptr<KxRlMeshFile> model(KxRlMeshFile::CreateFromFile(source.c_str()));
        KxRlRebuiltProp prop;
        for (int g = 0; g < model->getMeshGroupCount(); g++) prop.addMeshGroupRef(new KxRlMeshGroupRef(model.get(), g));
        prop.exportMesh(output.c_str());
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(source));
}
BENCHMARK(BM_ReadAndRewrite)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
