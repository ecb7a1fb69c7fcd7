// Speed of reading, reporting, the object search and the object exports of meshlister's
// -xo, on meshes of 65,000 vertices split into 1, 10, 100 and 1,000 separate objects (about
// 120,000 triangles at 100 objects).

#include "BenchMesh.h"
#include "KxRlMeshClipIndex.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlMeshTraversal.h"
#include "KxRlRebuiltProp.h"
#include "StringBuffer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace {

// The benchmark files, written once through the writer, and their models, read once.
class BenchFiles {
public:
    BenchFiles() {
        folder = (std::filesystem::temp_directory_path() /
                  ("reelkit-bench-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())))
                     .string();
        std::filesystem::create_directories(folder);
    }
    ~BenchFiles() {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }

    // The file of one mesh of 65,000 vertices in `objects` objects.
    const std::string &source(int objects) {
        std::string &path = sources[objects];
        if (path.empty()) {
            path = folder + "/objects" + std::to_string(objects) + ".msh";
            BenchMeshShape shape;
            shape.objects = objects;
            writeBenchFile(path, shape);
        }
        return path;
    }
    KxRlMeshFile *model(int objects) {
        std::unique_ptr<KxRlMeshFile> &model = models[objects];
        if (!model) model.reset(KxRlMeshFile::CreateFromFile(source(objects).c_str()));
        return model.get();
    }
    std::string output(const std::string &name) const { return folder + "/" + name; }

private:
    std::string folder;
    std::map<int, std::string> sources;
    std::map<int, std::unique_ptr<KxRlMeshFile>> models;
};

BenchFiles &files() {
    static BenchFiles instance;
    return instance;
}

void BM_ReadFile(benchmark::State &state) {
    const std::string &source = files().source(100);
    for (auto _ : state) {
        std::unique_ptr<KxRlMeshFile> model(KxRlMeshFile::CreateFromFile(source.c_str()));
        benchmark::DoNotOptimize(model.get());
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(source));
}
BENCHMARK(BM_ReadFile)->Unit(benchmark::kMillisecond);

void BM_FileReport(benchmark::State &state) {
    const KxRlMeshFile *model = files().model(100);
    StringBuffer buffer(16384);
    for (auto _ : state) {
        buffer.clear();
        model->toString(&buffer);
        benchmark::DoNotOptimize(buffer.getChars());
    }
}
BENCHMARK(BM_FileReport)->Unit(benchmark::kMillisecond);

void BM_TraverseAll(benchmark::State &state) {
    const KxRlMesh *mesh = files().model(static_cast<int>(state.range(0)))->getMesh(0, 0);
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
BENCHMARK(BM_TraverseAll)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// What meshlister -xo does for a mesh of many objects: one search for the objects, one index,
// then one file per object with whatever of the mesh lies in the object's box.
void BM_ObjectExports(benchmark::State &state) {
    KxRlMeshFile *model = files().model(static_cast<int>(state.range(0)));
    const std::string output = files().output("object.msh");
    int objects = 0;
    for (auto _ : state) {
        KxRlMeshTraversal traversal(model, 0, 0);
        std::unique_ptr<KxRlTraverseAllResult> result(traversal.traverseAll());
        KxRlMeshClipIndex index(model->getMesh(0, 0));
        objects = result->getCount();
        for (int i = 0; i < objects; i++) {
            KxRlRebuiltProp prop;
            KxRlMeshGroupRef *ref = new KxRlMeshGroupRef(model, 0);
            ref->addClipRegion(result->getClipRegion(i));
            prop.addMeshGroupRef(ref);
            prop.setClipIndex(&index);
            prop.exportMesh(output.c_str());
        }
    }
    state.counters["objects"] = objects;
}
BENCHMARK(BM_ObjectExports)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_ReadAndRewrite(benchmark::State &state) {
    const std::string &source = files().source(100);
    const std::string output = files().output("rewritten.msh");
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
