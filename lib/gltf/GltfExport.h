#ifndef KX_GLTF_GLTFEXPORT_H
#define KX_GLTF_GLTFEXPORT_H

// A loaded MSH model written as a glTF 2.0 model that 3D editors open.
//
// Each mesh group becomes a node (named after the group, or group00, group01 ...) with one
// glTF mesh, and each of its meshes one primitive of that mesh: positions, normals, texture
// co-ordinates (TEXCOORD_0) and, where the mesh has a light-map texture or light-map
// co-ordinates, the light-map co-ordinates (TEXCOORD_1), with 16-bit indices in the mesh's
// own corner order. Each distinct material becomes one glTF material (see GltfMaterials.h).
// The game's axes (Z up) are turned to glTF's (Y up) by a quarter turn about X: a point
// (x, y, z) is written as (x, z, -y), so nothing is mirrored and faces keep their winding.
// Skeletons, control meshes, rooms, group matrices and mesh flags are not carried.

#include <string>
#include <vector>

class KxRlMesh;
class KxRlMeshFile;

// Whether the model holds a primitive for `mesh`: it has vertices and at least one triangle.
// Primitives follow the meshes of their group in order, those without one left out.
bool gltfHasPrimitive(const KxRlMesh *mesh);

// Writes `file` as `basePath` + ".gltf" and ".bin", or as `basePath` + ".glb" with `binary`
// (see saveGltfModel for how the files are written). `generator` names the program in the
// file's asset record. A mesh without vertices or triangles has nothing glTF can hold: it is
// left out, and a line saying so ("Note : ...") is added to `notes`. Throws IOException.
void exportGltf(const KxRlMeshFile *file, const char *basePath, bool binary, const char *generator,
                std::vector<std::string> *notes);

// The same model as one glTF binary (the bytes of the .glb that exportGltf writes), in memory,
// for programs that carry the model inside files of their own. Meshes without triangles are
// left out without a note. Throws IOException.
std::string exportGlbBytes(const KxRlMeshFile *file, const char *generator);

#endif
