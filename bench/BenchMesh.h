#ifndef KX_BENCH_BENCHMESH_H
#define KX_BENCH_BENCHMESH_H

// Benchmark meshes: one mesh of a given number of vertices split into a given number of
// separate 3D objects. Each object is a grid of vertices made of two patches whose seam
// columns lie at exactly the same positions (separate vertices, equal positions), so that
// the object search follows both kinds of link. The objects stand side by side on a square
// layout with gaps between their boxes. Every mesh carries light-map co-ordinates.

#include <string>

class KxDMeshData;

// The shape of a benchmark file: `meshes` meshes of `vertices` vertices, each split into
// `objects` objects (vertices / objects vertices each, rounded down).
struct BenchMeshShape {
    int vertices = 65000;
    int objects = 100;
    int meshes = 1;
};

// One mesh of the shape (owned by the caller); `index` shifts it so that the meshes of a file
// differ.
KxDMeshData *benchMesh(const BenchMeshShape &shape, int index);

// Writes a file of the shape through the suite's writer: the meshes go into groups of at
// most 5 meshes each.
void writeBenchFile(const std::string &path, const BenchMeshShape &shape);

#endif
