// Writes the benchmarks' building-sized mesh to the path given, for timed tool runs.

#include "BenchMesh.h"
#include "IOException.h"

#include <cstdio>

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: make_bench_mesh <file.msh>\n");
        return 2;
    }
    try {
        writeBuildingMesh(argv[1]);
    } catch (const IOException &e) {
        std::fprintf(stderr, "make_bench_mesh: %s\n", e.getErrorString());
        return 1;
    }
    return 0;
}
