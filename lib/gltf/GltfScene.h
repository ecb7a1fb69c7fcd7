#ifndef KX_GLTF_GLTFSCENE_H
#define KX_GLTF_GLTFSCENE_H

// The node tree of a glTF scene flattened: every node that draws a mesh, with the transform
// from that node's space to the scene's (its own transform after all of its parents').

#include <tiny_gltf.h>

#include <vector>

// An affine transform as glTF writes it: 16 numbers in column order, points as columns, so
// that (x, y, z) goes to (m[0]x + m[4]y + m[8]z + m[12], m[1]x + ... + m[13], ...).
struct GltfMatrix {
    double m[16];

    static GltfMatrix identity();
    // This transform applied after `first`.
    GltfMatrix after(const GltfMatrix &first) const;
    // Determinant of the linear part: negative for a transform that mirrors.
    double determinant() const;
};

struct GltfMeshInstance {
    int node;           // the node that draws the mesh
    int mesh;           // index into the model's meshes (in range)
    int skin;           // the node's skin (in range), or -1
    GltfMatrix world;   // node space to scene space
};

// The mesh instances of the model's default scene (scene 0 when none is named; without any
// scene, every node that is no other node's child), depth first, children in order. Throws
// IOException for an index out of range, a node reached twice (a node has one parent, and the
// tree has no cycles), or a transform that is not 16 numbers (matrix) or 3, 4, 3 numbers
// (translation, rotation, scale), or holds a number that is not finite.
// A node's skin out of range is an error too.
std::vector<GltfMeshInstance> gltfMeshInstances(const tinygltf::Model &model);

// The world transform of every node of the model, whether a scene lists it or not (joints of a
// skin need not be drawn): its own transform after those of its parents. Throws IOException
// as gltfMeshInstances does for a child out of range, a node with two parents, a cycle or a
// transform that is no transform.
std::vector<GltfMatrix> gltfNodeWorlds(const tinygltf::Model &model);

#endif
