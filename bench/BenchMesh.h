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

// A prop-sized piece of the same layout: `patches` grid patches (256 vertices and 450
// triangles each), written as a one-group MSH file with the texture `texture`.
void writePatchMesh(const std::string &path, int patches, const char *texture);

// A game with 10 prop meshes and a set-dressing arrangement of `props` props naming them in
// turn, for timing dresscaster: <game>/data/meshes/bench_mesh0.msh ... bench_mesh9.msh (one
// patch each); the even ones belong to props p_bench_prop0, 2, ... through set-dressing INIs in
// <game>/data/setdressing/ that name them, the odd ones are found by name (p_bench_prop1.msh
// and so on are written under that name). The arrangement is written to `arrangementPath`.
void writeSetDressingBench(const std::string &gameFolder, const std::string &arrangementPath, int props);

#endif
