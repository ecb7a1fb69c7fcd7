// Writes a benchmark mesh file for the timed tool runs of scripts/bench.sh.
//   make_bench_mesh <file.msh> [objects [meshes [vertices]]]
// Defaults: 100 objects, 1 mesh, 65,000 vertices per mesh.

#include "BenchMesh.h"
#include "IOException.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    if (argc < 2 || argc > 5) {
        std::fprintf(stderr, "Usage: make_bench_mesh <file.msh> [objects [meshes [vertices]]]\n");
        return 2;
    }
    BenchMeshShape shape;
    if (argc > 2) shape.objects = std::atoi(argv[2]);
    if (argc > 3) shape.meshes = std::atoi(argv[3]);
    if (argc > 4) shape.vertices = std::atoi(argv[4]);
    if (shape.objects < 1 || shape.meshes < 1 || shape.vertices < shape.objects || shape.vertices > 65536) {
        std::fprintf(stderr, "make_bench_mesh: objects, meshes and vertices must be positive, "
                             "vertices at least objects and at most 65536\n");
        return 2;
    }
    try {
        writeBenchFile(argv[1], shape);
    } catch (const IOException &e) {
        std::fprintf(stderr, "make_bench_mesh: %s: %s\n", argv[1], e.getErrorString());
        return 1;
    }
    return 0;
}
