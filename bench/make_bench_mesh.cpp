// Writes the benchmarks' building-sized mesh to the path given, or a game of 10 prop meshes and
// a set-dressing arrangement of many props naming them, for timed tool runs.

#include "BenchMesh.h"
#include "IOException.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv) {
    bool setDressing = argc == 5 && std::strcmp(argv[1], "--set-dressing") == 0;
    if (argc != 2 && !setDressing) {
        std::fprintf(stderr, "Usage: make_bench_mesh <file.msh>\n"
                             "       make_bench_mesh --set-dressing <game folder> <arrangement.ini> <props>\n");
        return 2;
    }
    try {
        if (setDressing)
            writeSetDressingBench(argv[2], argv[3], std::atoi(argv[4]));
        else
            writeBuildingMesh(argv[1]);
    } catch (const IOException &e) {
        std::fprintf(stderr, "make_bench_mesh: %s\n", e.getErrorString());
        return 1;
    }
    return 0;
}
