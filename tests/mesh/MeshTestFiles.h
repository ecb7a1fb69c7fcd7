#ifndef KX_TESTS_MESH_MESHTESTFILES_H
#define KX_TESTS_MESH_MESHTESTFILES_H

#include "MshBuilder.h"
#include "TempFolder.h"

#include <memory>
#include <string>
#include <vector>

class KxRlMeshFile;

// Position bounds with a step of exactly 1/64 on every axis, starting at `min`, so that every
// multiple of 1/64 in range decodes exactly.
void setSixtyFourthBounds(MshMesh &mesh, float minX, float minY, float minZ);
// Appends a vertex at (x, y, z) with normal (0, 0, 1) and texture (0, 0).
void addVertex(MshMesh &mesh, float x, float y, float z);
// A control mesh of `vertices` points along X and `faces` triangles over them.
MshControl makeControl(int vertices, int faces, const std::string &roomName = "");

// A file that uses every section, flag and optional field: all seven control types, two
// rooms, three groups (one with an empty mesh, one without meshes), idents, joints, light-map
// and bone data, a skeleton, group names, named matrices, the skipped block and position
// matrices.
MshDescription richDescription();

// Writes the bytes to a fresh file in `folder` and reads it back.
std::unique_ptr<KxRlMeshFile> loadMsh(const TempFolder &folder, const std::vector<uint8_t> &bytes,
                                      const std::string &name = "test.msh");
// The file report of a loaded model.
std::string reportOf(const KxRlMeshFile &file);
// The text of the IOException that reading the bytes raises, or "" when it reads.
std::string readError(const TempFolder &folder, const std::vector<uint8_t> &bytes);

#endif
