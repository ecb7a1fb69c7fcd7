#ifndef KX_TESTS_MESHCHECKS_H
#define KX_TESTS_MESHCHECKS_H

// Small meshes to build the tools' inputs from, and checks on the mesh files the tools write,
// read back through the MSH reader.

#include "KxRlMeshFile.h"
#include "MshBuilder.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class KxRlMesh;

using MshPoints = std::vector<std::array<float, 3>>;

// One mesh of the given triangles (three vertex numbers each) over `points`, normals +Z,
// quantised in a box of -20..20 on every axis.
MshMesh mshTriangles(int material, const MshPoints &points, const std::vector<uint16_t> &triangles,
                     uint8_t flag0 = 0x70);

std::unique_ptr<KxRlMeshFile> readMeshFile(const std::string &path);

// Mesh `mesh` of group `group` has `vertices` vertices whose decoded positions span `box`
// (min x, y, z, max x, y, z), within the 16-bit quantisation.
void expectBox(const KxRlMeshFile &file, int group, int mesh, int vertices, std::array<float, 6> box);

// The name in a material slot of a mesh, "(none)" for an empty slot.
const char *slotName(const KxRlMesh *mesh, int slot);
const char *slotName(const KxRlMeshFile &file, int group, int mesh, int slot);

// Every triangle winds counter-clockwise round its first vertex's normal (right-hand rule).
void expectFacesOut(const KxRlMesh &mesh);
void expectFacesOut(const KxRlMeshFile &file, int group, int mesh);

#endif
