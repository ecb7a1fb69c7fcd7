// Writes a game folder of many mesh files for meshgallery's timed runs in scripts/bench.sh:
//   make_bench_game <game folder> <files>
// File i (data/meshes/bench_<i>.msh) holds 1 to 3 meshes of 48 to 1,344 vertices split into 1
// to 12 separate objects (grids of 48 to 112 vertices), so that the files differ in size and shape.

#include "BenchMesh.h"
#include "IOException.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char **argv) {
    if (argc != 3 || std::atoi(argv[2]) < 1) {
        std::fprintf(stderr, "Usage: make_bench_game <game folder> <files>\n");
        return 2;
    }
    std::string meshes = std::string(argv[1]) + "/data/meshes";
    std::filesystem::create_directories(meshes);
    const int files = std::atoi(argv[2]);
    for (int i = 0; i < files; i++) {
        BenchMeshShape shape;
        shape.objects = 1 + i % 12;
        shape.meshes = 1 + i % 3;
        shape.vertices = shape.objects * (48 + 16 * (i % 5));
        char name[32];
        std::snprintf(name, sizeof name, "/bench_%04d.msh", i);
        try {
            writeBenchFile(meshes + name, shape);
        } catch (const IOException &e) {
            std::fprintf(stderr, "make_bench_game: %s%s: %s\n", meshes.c_str(), name, e.getErrorString());
            return 1;
        }
    }
    return 0;
}
