#ifndef KX_TESTS_MESHCHECKS_H
#define KX_TESTS_MESHCHECKS_H

// Checks on meshes read back from the files the tools write.

#include <array>

class KxRlMesh;
class KxRlMeshFile;

// Mesh `mesh` of group `group` has `vertices` vertices whose decoded positions span `box`
// (min x, y, z, max x, y, z), within the 16-bit quantisation.
void expectBox(const KxRlMeshFile &file, int group, int mesh, int vertices, std::array<float, 6> box);

// Every triangle winds counter-clockwise round its first vertex's normal (right-hand rule).
void expectFacesOut(const KxRlMesh &mesh);
void expectFacesOut(const KxRlMeshFile &file, int group, int mesh);

#endif
