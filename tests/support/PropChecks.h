#ifndef KX_TESTS_PROPCHECKS_H
#define KX_TESTS_PROPCHECKS_H

// Checks shared by the end-to-end tests of the prop tools: small meshes to build inputs
// from, and what a written prop's mesh file holds once read back through the MSH reader.

#include "KxRlMeshFile.h"
#include "MshBuilder.h"
#include "ToolHarness.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

using MshPoints = std::vector<std::array<float, 3>>;

// The two lines every tool prints first.
extern const std::string kToolStartUp;

// One mesh of the given triangles (three vertex numbers each) over `points`, normals +Z,
// quantised in a box of -20..20 on every axis.
MshMesh mshTriangles(int material, const MshPoints &points, const std::vector<uint16_t> &triangles,
                     uint8_t flag0 = 0x70);

std::unique_ptr<KxRlMeshFile> readMeshFile(const std::string &path);

// The mesh's vertex count and the box of its decoded positions (minX minY minZ maxX maxY maxZ).
void expectMeshBox(const KxRlMeshFile &file, int group, int mesh, int vertices, std::array<float, 6> box);
// The name in a material slot of a mesh, "(none)" for an empty slot.
const char *slotName(const KxRlMeshFile &file, int group, int mesh, int slot);
// Every triangle winds counter-clockwise round its first corner's normal.
void expectFacesOut(const KxRlMeshFile &file, int group, int mesh);
// Each line occurs in `output`, in this order.
void expectLinesInOrder(const std::string &output, const std::vector<std::string> &lines);
// A run that got past the start-up: its exit status, the start-up lines first, then `lines` in
// order on stdout, and a stderr line whenever the status reports a failure.
void expectRun(const ToolRun &run, int status, const std::vector<std::string> &lines);

#endif
