#ifndef KX_GLTF_GLTFTRIANGLES_H
#define KX_GLTF_GLTFTRIANGLES_H

// One glTF primitive on its way into the mesh model: its vertices in the game's axes, its
// triangles as a plain list, flat normals where the file has none, and the split into meshes
// that 16-bit indices can address.

#include "KxDMeshData.h"

#include <cstdint>
#include <memory>
#include <vector>

struct GltfTriangleMesh {
    std::vector<_KxDTexVertex> vertices;
    std::vector<_KxDVector2D> lightMap;  // empty, or one light-map u, v per vertex
    std::vector<uint32_t> triangles;     // three vertex numbers per triangle, in drawing order
};

// The triangles that `mode` (TINYGLTF_MODE_TRIANGLES, _TRIANGLE_STRIP or _TRIANGLE_FAN; -1
// counts as triangles) draws over `indices`, as a list, each in the corner order glTF gives
// it. Strips and fans skip the joins where a triangle repeats a vertex number. Throws
// IOException for a list whose length is no multiple of 3 and for any other mode.
std::vector<uint32_t> gltfTriangleList(int mode, const std::vector<uint32_t> &indices);

// glTF's rule for a primitive without normals, flat shading: every corner gets a vertex of its
// own with the normal of its triangle (counter-clockwise corners face the viewer; a triangle
// without area faces up, +Z).
void gltfFlatNormals(GltfTriangleMesh *mesh);

// The mesh as mesh data of at most `maxVertices` vertices each: the whole mesh, vertices in
// their order, when it fits; otherwise pieces of consecutive triangles, each holding the
// vertices its triangles use in the order first used. Triangles and corners keep their order.
std::vector<std::unique_ptr<KxDMeshData>> gltfSplitMesh(const GltfTriangleMesh &mesh,
                                                        int maxVertices = KXD_MAX_MESH_VERTICES);

#endif
