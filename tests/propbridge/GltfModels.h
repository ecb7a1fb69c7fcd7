#ifndef KX_TESTS_GLTFMODELS_H
#define KX_TESTS_GLTFMODELS_H

// glTF models made by the tests, through tinygltf: one buffer that every accessor reads, and
// helpers for the ways a file may store its data (packed or strided, sparse, 8, 16 or
// 32-bit indices). The test data is in glTF's own axes (Y up).

#include <nlohmann/json.hpp>
#include <tiny_gltf.h>

#include <cstdint>
#include <functional>
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
    // JOINTS_0: four joint numbers per vertex as unsigned bytes.
    int addJoints(const std::vector<uint8_t> &joints);
    // A material whose base colour texture names `texture` ("" for none).
    int addMaterial(const std::string &texture);
    // A material named `name` whose base colour texture shows `picture` (none for null).
    int addMaterial(const std::string &name, const tinygltf::Image *picture);
    // A picture inside the buffer, as a binary file keeps it: a name and a MIME type, no URI.
    tinygltf::Image embeddedPicture(const std::string &name, const std::string &mimeType);
    // A triangle primitive over the given accessors (-1 leaves one out).
    static tinygltf::Primitive primitive(int position, int normal, int indices, int material,
                                         int mode = TINYGLTF_MODE_TRIANGLES);
    // A mesh of the primitives and a node that draws it, listed in scene 0 when `root`.
    int addMeshNode(const std::string &name, const std::vector<tinygltf::Primitive> &primitives, bool root = true);

    // The model as GLB bytes, or as glTF JSON with the buffer embedded.
    std::string glb() const;
    std::string json() const;
    // The same with the JSON changed by `edit` first (for what tinygltf does not write, such
    // as values of the wrong type).
    std::string editedGlb(const std::function<void(nlohmann::json &)> &edit) const;
    std::string editedJson(const std::function<void(nlohmann::json &)> &edit) const;

private:
    int addView(const void *bytes, size_t size, size_t stride = 0);
    int addAccessor(const std::vector<unsigned char> &bytes, int componentType, int type, size_t count);
};

// A box 2 wide (X), 4 high (Y) and 6 deep (Z), bottom at Y = 0, with outward normals: the
// sides facing +X, -X and +Y in material "red.dds", the others in "blue.dds" (two primitives).
GltfModel boxModel();

#endif
