// Speed of the object search and of a full read-and-rewrite on a building-sized mesh:
// 65,536 vertices and 115,200 triangles in 256 grid patches, joined in fours by exactly shared
// seam positions into 64 separate objects.

#include "BenchMesh.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlMeshTraversal.h"
#include "KxRlRebuiltProp.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

// The source model, written once through the writer and read back, and the files' folder.
struct BenchFiles {
    BenchFiles() {
        folder = (std::filesystem::temp_directory_path() /
                  ("reelkit-bench-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())))
                     .string();
        std::filesystem::create_directories(folder);
        source = folder + "/source.msh";
        output = folder + "/rewritten.msh";

        writeBuildingMesh(source);
        model.reset(KxRlMeshFile::CreateFromFile(source.c_str()));
    }
    ~BenchFiles() {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }

    std::string folder, source, output;
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
