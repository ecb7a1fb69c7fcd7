#ifndef KX_BENCH_BENCHMESH_H
#define KX_BENCH_BENCHMESH_H

// A building-sized test mesh: 65,536 vertices and 115,200 triangles in 256 grid patches, joined
// in fours by exactly shared seam positions into 64 separate objects, with light-map
// co-ordinates. Used by the benchmarks and by the timed tool runs of scripts/bench.sh.

#include <string>

class KxDMeshData;

// The mesh data (owned by the caller).
KxDMeshData *buildingMesh();

// Writes the mesh as a one-group MSH file through the suite's writer.
void writeBuildingMesh(const std::string &path);

#endif
