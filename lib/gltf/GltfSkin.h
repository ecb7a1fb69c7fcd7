#ifndef KX_GLTF_GLTFSKIN_H
#define KX_GLTF_GLTFSKIN_H

// A skinned primitive in its bind pose, as glTF defines it: each vertex is moved by the sum,
// over the joints it names (JOINTS_n) and by its weights (WEIGHTS_n), of each joint's world
// transform times the joint's inverse bind matrix. The transform of the node that draws the
// mesh does not count. With the joints' own transforms (no animation), this is the model at
// rest, where an editor shows it.

#include "GltfScene.h"

#include <cstdint>
#include <tiny_gltf.h>
#include <vector>

class GltfSkinning {
public:
    // Skin `skin` (in range) over the `vertexCount` vertices of `primitive`, with the world
    // transforms of all nodes (gltfNodeWorlds). Every set n for which both JOINTS_n and
    // WEIGHTS_n exist is used. The file is untrusted: throws IOException for a joint that is no
    // node, inverse bind matrices that are not as many float MAT4s as there are joints, joint or
    // weight sets of another length than the vertices, and a joint number beyond the skin's
    // joints that carries a weight.
    GltfSkinning(const tinygltf::Model &model, int skin, const std::vector<GltfMatrix> &worlds,
                 const tinygltf::Primitive &primitive, size_t vertexCount);

    // True when the primitive has at least one pair of joint and weight sets.
    bool hasWeights() const { return sets > 0; }

    // Vertex `v`'s transform from mesh space to scene space: its joints' transforms blended by
    // its weights, scaled to add up to 1. A vertex without any weight stays where the mesh data
    // places it (the identity).
    GltfMatrix vertexTransform(size_t v) const;

    // Vertices without any weight, and vertices whose weights did not add up to 1.
    size_t unweightedCount() const { return unweighted; }
    size_t rescaledCount() const { return rescaled; }

private:
    std::vector<GltfMatrix> joints;  // per joint: its world transform times its inverse bind matrix
    std::vector<uint32_t> jointOf;   // per vertex, 4 per set: joint numbers
    std::vector<float> weights;      // per vertex, 4 per set: weights
    size_t sets = 0;
    size_t unweighted = 0;
    size_t rescaled = 0;
};

#endif
