#include "GltfScene.h"

#include "IOException.h"

#include <cmath>
#include <string>
#include <utility>

namespace {

IOException nodeError(int node, const std::string &what) {
    return IOException("node " + std::to_string(node) + " " + what);
}

void checkNumbers(int node, const std::vector<double> &values, size_t expected, const char *what) {
    if (values.empty()) return;
    if (values.size() != expected)
        throw nodeError(node, "has a " + std::string(what) + " of " + std::to_string(values.size()) +
                                  " numbers; it takes " + std::to_string(expected));
    for (double v : values)
        if (!std::isfinite(v)) throw nodeError(node, "has a " + std::string(what) + " that is not a finite number");
}

// The node's own transform: its matrix, or translation x rotation x scale.
GltfMatrix localTransform(int index, const tinygltf::Node &node) {
    checkNumbers(index, node.matrix, 16, "matrix");
    checkNumbers(index, node.translation, 3, "translation");
    checkNumbers(index, node.rotation, 4, "rotation");
    checkNumbers(index, node.scale, 3, "scale");
    GltfMatrix local = GltfMatrix::identity();
    if (!node.matrix.empty()) {
        for (int i = 0; i < 16; i++) local.m[i] = node.matrix[static_cast<size_t>(i)];
        return local;
    }
    // The rotation as a unit quaternion (x, y, z, w); one of length 0 turns nothing.
    double q[4] = {0, 0, 0, 1};
    double length = 0;
    for (size_t i = 0; i < node.rotation.size(); i++) length += node.rotation[i] * node.rotation[i];
    length = std::sqrt(length);
    if (length > 0)
        for (size_t i = 0; i < 4; i++) q[i] = node.rotation[i] / length;
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    double s[3] = {1, 1, 1};
    for (size_t i = 0; i < node.scale.size(); i++) s[i] = node.scale[i];
    // Columns of the rotation matrix of the unit quaternion, each scaled.
    double r[9] = {1 - 2 * (y * y + z * z), 2 * (x * y + z * w),     2 * (x * z - y * w),
                   2 * (x * y - z * w),     1 - 2 * (x * x + z * z), 2 * (y * z + x * w),
                   2 * (x * z + y * w),     2 * (y * z - x * w),     1 - 2 * (x * x + y * y)};
    for (int column = 0; column < 3; column++)
        for (int row = 0; row < 3; row++) local.m[4 * column + row] = r[3 * column + row] * s[column];
    for (size_t i = 0; i < node.translation.size(); i++) local.m[12 + i] = node.translation[i];
    return local;
}

}  // namespace

GltfMatrix GltfMatrix::identity() {
    GltfMatrix result = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
    return result;
}

GltfMatrix GltfMatrix::after(const GltfMatrix &first) const {
    GltfMatrix result;
    for (int column = 0; column < 4; column++)
        for (int row = 0; row < 4; row++) {
            double sum = 0;
            for (int k = 0; k < 4; k++) sum += m[4 * k + row] * first.m[4 * column + k];
            result.m[4 * column + row] = sum;
        }
    return result;
}

double GltfMatrix::determinant() const {
    return m[0] * (m[5] * m[10] - m[9] * m[6]) - m[4] * (m[1] * m[10] - m[9] * m[2]) +
           m[8] * (m[1] * m[6] - m[5] * m[2]);
}

std::vector<GltfMeshInstance> gltfMeshInstances(const tinygltf::Model &model) {
    const size_t nodeCount = model.nodes.size();
    std::vector<int> roots;
    if (!model.scenes.empty()) {
        int scene = model.defaultScene < 0 ? 0 : model.defaultScene;
        if (static_cast<size_t>(scene) >= model.scenes.size())
            throw IOException("the default scene " + std::to_string(scene) + " does not exist");
        roots = model.scenes[static_cast<size_t>(scene)].nodes;
    } else {
        std::vector<bool> isChild(nodeCount, false);
        for (const tinygltf::Node &node : model.nodes)
            for (int child : node.children)
                if (child >= 0 && static_cast<size_t>(child) < nodeCount) isChild[static_cast<size_t>(child)] = true;
        for (size_t i = 0; i < nodeCount; i++)
            if (!isChild[i]) roots.push_back(static_cast<int>(i));
    }

    std::vector<GltfMeshInstance> instances;
    std::vector<bool> reached(nodeCount, false);
    // Depth first without recursion: a deep tree cannot exhaust the stack.
    std::vector<std::pair<int, GltfMatrix>> pending;
    for (auto root = roots.rbegin(); root != roots.rend(); ++root) pending.emplace_back(*root, GltfMatrix::identity());
    while (!pending.empty()) {
        int index = pending.back().first;
        GltfMatrix parent = pending.back().second;
        pending.pop_back();
        if (index < 0 || static_cast<size_t>(index) >= nodeCount)
            throw nodeError(index, "is named in the scene or as a child but does not exist");
        if (reached[static_cast<size_t>(index)])
            throw nodeError(index, "is reached twice in the node tree (a node has one parent, and no node is its own "
                                   "ancestor)");
        reached[static_cast<size_t>(index)] = true;
        const tinygltf::Node &node = model.nodes[static_cast<size_t>(index)];
        GltfMatrix world = parent.after(localTransform(index, node));
        if (node.mesh >= 0) {
            if (static_cast<size_t>(node.mesh) >= model.meshes.size())
                throw nodeError(index, "draws mesh " + std::to_string(node.mesh) + ", which does not exist");
            if (node.skin >= 0 && static_cast<size_t>(node.skin) >= model.skins.size())
                throw nodeError(index, "has skin " + std::to_string(node.skin) + ", which does not exist");
            instances.push_back({index, node.mesh, node.skin < 0 ? -1 : node.skin, world});
        }
        for (auto child = node.children.rbegin(); child != node.children.rend(); ++child)
            pending.emplace_back(*child, world);
    }
    return instances;
}

std::vector<GltfMatrix> gltfNodeWorlds(const tinygltf::Model &model) {
    const size_t nodeCount = model.nodes.size();
    const int kNoParent = -1;
    std::vector<int> parent(nodeCount, kNoParent);
    for (size_t i = 0; i < nodeCount; i++)
        for (int child : model.nodes[i].children) {
            if (child < 0 || static_cast<size_t>(child) >= nodeCount)
                throw nodeError(child, "is named as a child but does not exist");
            if (parent[static_cast<size_t>(child)] != kNoParent || static_cast<size_t>(child) == i)
                throw nodeError(child, "is reached twice in the node tree (a node has one parent, and no node is its "
                                       "own ancestor)");
            parent[static_cast<size_t>(child)] = static_cast<int>(i);
        }

    std::vector<GltfMatrix> worlds(nodeCount);
    std::vector<bool> known(nodeCount, false);
    std::vector<int> chain;  // a node and its ancestors whose world transforms are not known yet
    for (size_t start = 0; start < nodeCount; start++) {
        for (int at = static_cast<int>(start); at != kNoParent && !known[static_cast<size_t>(at)];
             at = parent[static_cast<size_t>(at)]) {
            // With one parent each, a walk up longer than the tree is a cycle.
            if (chain.size() == nodeCount)
                throw nodeError(at, "is its own ancestor in the node tree (a node has one parent, and no node is its "
                                    "own ancestor)");
            chain.push_back(at);
        }
        for (auto node = chain.rbegin(); node != chain.rend(); ++node) {
            size_t index = static_cast<size_t>(*node);
            int up = parent[index];
            GltfMatrix above = up == kNoParent ? GltfMatrix::identity() : worlds[static_cast<size_t>(up)];
            worlds[index] = above.after(localTransform(*node, model.nodes[index]));
            known[index] = true;
        }
        chain.clear();
    }
    return worlds;
}
