#ifndef KX_TESTS_GLTFMODELS_H
#define KX_TESTS_GLTFMODELS_H

// glTF models made by the tests, through tinygltf: one buffer that every accessor reads, and
// helpers for the ways a file may store its data (packed or strided, sparse, 8, 16 or
// 32-bit indices). The test data is in glTF's own axes (Y up).

#include <tiny_gltf.h>

#include <cstdint>
#include <string>
#include <vector>

class GltfModel {
public:
    GltfModel();

    tinygltf::Model model;

    // A float accessor of `components` per element, packed or `stride` bytes apart; POSITION
    // gets its bounds.
    int addFloats(const std::vector<float> &values, int components, bool bounds = false, size_t stride = 0);
    // Indices as unsigned 8, 16 or 32-bit integers (TINYGLTF_COMPONENT_TYPE_UNSIGNED_*).
    int addIndices(const std::vector<uint32_t> &indices, int componentType);
    // A material whose base colour texture names `texture` ("" for none).
    int addMaterial(const std::string &texture);
    // A triangle primitive over the given accessors (-1 leaves one out).
    static tinygltf::Primitive primitive(int position, int normal, int indices, int material,
                                         int mode = TINYGLTF_MODE_TRIANGLES);
    // A mesh of the primitives and a node that draws it, listed in scene 0 when `root`.
    int addMeshNode(const std::string &name, const std::vector<tinygltf::Primitive> &primitives, bool root = true);

    // The model as GLB bytes, or as glTF JSON with the buffer embedded.
    std::string glb() const;
    std::string json() const;

private:
    int addView(const void *bytes, size_t size, size_t stride = 0);
};

// A box 2 wide (X), 4 high (Y) and 6 deep (Z), bottom at Y = 0, with outward normals: the
// sides facing +X, -X and +Y in material "red.dds", the others in "blue.dds" (two primitives).
GltfModel boxModel();

#endif
