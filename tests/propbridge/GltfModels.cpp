#include "GltfModels.h"

#include <cmath>
#include <cstring>
#include <sstream>

GltfModel::GltfModel() {
    model.asset.version = "2.0";
    model.buffers.resize(1);
    model.scenes.resize(1);
    model.defaultScene = 0;
}

int GltfModel::addView(const void *bytes, size_t size, size_t stride) {
    std::vector<unsigned char> &data = model.buffers[0].data;
    while (data.size() % 4) data.push_back(0);
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = data.size();
    view.byteLength = size;
    view.byteStride = stride;
    data.insert(data.end(), static_cast<const unsigned char *>(bytes), static_cast<const unsigned char *>(bytes) + size);
    model.bufferViews.push_back(view);
    return static_cast<int>(model.bufferViews.size() - 1);
}

int GltfModel::addFloats(const std::vector<float> &values, int components, bool bounds) {
    tinygltf::Accessor accessor;
    accessor.bufferView = addView(values.data(), values.size() * 4);
    accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
    accessor.type = components;
    accessor.count = values.size() / components;
    if (bounds) {
        accessor.minValues.assign(components, 1e30);
        accessor.maxValues.assign(components, -1e30);
        for (size_t i = 0; i < values.size(); i++) {
            accessor.minValues[i % components] = std::fmin(accessor.minValues[i % components], values[i]);
            accessor.maxValues[i % components] = std::fmax(accessor.maxValues[i % components], values[i]);
        }
    }
    model.accessors.push_back(accessor);
    return static_cast<int>(model.accessors.size() - 1);
}

int GltfModel::addInterleaved(const std::vector<float> &positions, const std::vector<float> &normals) {
    std::vector<float> both;
    for (size_t v = 0; v < positions.size() / 3; v++) {
        both.insert(both.end(), positions.begin() + 3 * v, positions.begin() + 3 * v + 3);
        both.insert(both.end(), normals.begin() + 3 * v, normals.begin() + 3 * v + 3);
    }
    int view = addView(both.data(), both.size() * 4, 24);
    for (int part = 0; part < 2; part++) {
        tinygltf::Accessor accessor;
        accessor.bufferView = view;
        accessor.byteOffset = 12 * part;
        accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
        accessor.type = TINYGLTF_TYPE_VEC3;
        accessor.count = positions.size() / 3;
        model.accessors.push_back(accessor);
    }
    return static_cast<int>(model.accessors.size() - 2);
}

int GltfModel::addIndices(const std::vector<uint32_t> &indices, int componentType) {
    std::vector<unsigned char> bytes;
    size_t size = componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE ? 1
                  : componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT ? 2 : 4;
    for (uint32_t index : indices)
        for (size_t b = 0; b < size; b++) bytes.push_back(static_cast<unsigned char>(index >> (8 * b)));
    tinygltf::Accessor accessor;
    accessor.bufferView = addView(bytes.data(), bytes.size());
    accessor.componentType = componentType;
    accessor.type = TINYGLTF_TYPE_SCALAR;
    accessor.count = indices.size();
    model.accessors.push_back(accessor);
    return static_cast<int>(model.accessors.size() - 1);
}

int GltfModel::addMaterial(const std::string &texture, const std::string &alphaMode) {
    tinygltf::Material material;
    material.alphaMode = alphaMode;
    if (!texture.empty()) {
        tinygltf::Image image;
        image.uri = texture;
        model.images.push_back(image);
        tinygltf::Texture t;
        t.source = static_cast<int>(model.images.size() - 1);
        model.textures.push_back(t);
        material.pbrMetallicRoughness.baseColorTexture.index = static_cast<int>(model.textures.size() - 1);
    }
    model.materials.push_back(material);
    return static_cast<int>(model.materials.size() - 1);
}

tinygltf::Primitive GltfModel::primitive(int position, int normal, int indices, int material, int mode) {
    tinygltf::Primitive p;
    p.attributes["POSITION"] = position;
    if (normal >= 0) p.attributes["NORMAL"] = normal;
    p.indices = indices;
    p.material = material;
    p.mode = mode;
    return p;
}

int GltfModel::addMeshNode(const std::string &name, const std::vector<tinygltf::Primitive> &primitives, bool root) {
    tinygltf::Mesh mesh;
    mesh.name = name;
    mesh.primitives = primitives;
    model.meshes.push_back(mesh);
    tinygltf::Node node;
    node.mesh = static_cast<int>(model.meshes.size() - 1);
    model.nodes.push_back(node);
    int index = static_cast<int>(model.nodes.size() - 1);
    if (root) model.scenes[0].nodes.push_back(index);
    return index;
}

std::string GltfModel::glb() const {
    std::ostringstream out;
    tinygltf::TinyGLTF().WriteGltfSceneToStream(&model, out, false, true);
    return out.str();
}

std::string GltfModel::json() const {
    std::ostringstream out;
    tinygltf::TinyGLTF().WriteGltfSceneToStream(&model, out, true, false);
    return out.str();
}

GltfModel boxModel() {
    GltfModel box;
    // Each side: its outward normal and the four corners, counter-clockwise seen from outside.
    struct Side {
        float n[3];
        float corners[4][3];
    };
    const Side sides[6] = {
        {{1, 0, 0}, {{1, 0, 3}, {1, 0, -3}, {1, 4, -3}, {1, 4, 3}}},
        {{-1, 0, 0}, {{-1, 0, -3}, {-1, 0, 3}, {-1, 4, 3}, {-1, 4, -3}}},
        {{0, 1, 0}, {{-1, 4, 3}, {1, 4, 3}, {1, 4, -3}, {-1, 4, -3}}},
        {{0, -1, 0}, {{-1, 0, -3}, {1, 0, -3}, {1, 0, 3}, {-1, 0, 3}}},
        {{0, 0, 1}, {{-1, 0, 3}, {1, 0, 3}, {1, 4, 3}, {-1, 4, 3}}},
        {{0, 0, -1}, {{1, 0, -3}, {-1, 0, -3}, {-1, 4, -3}, {1, 4, -3}}},
    };
    int red = box.addMaterial("red.dds"), blue = box.addMaterial("blue.dds");
    std::vector<tinygltf::Primitive> primitives;
    for (int half = 0; half < 2; half++) {
        std::vector<float> positions, normals;
        std::vector<uint32_t> indices;
        for (int s = 3 * half; s < 3 * half + 3; s++) {
            uint32_t first = static_cast<uint32_t>(positions.size() / 3);
            for (const auto &corner : sides[s].corners) {
                positions.insert(positions.end(), corner, corner + 3);
                normals.insert(normals.end(), sides[s].n, sides[s].n + 3);
            }
            for (uint32_t i : {0u, 1u, 2u, 0u, 2u, 3u}) indices.push_back(first + i);
        }
        primitives.push_back(GltfModel::primitive(box.addFloats(positions, 3, true), box.addFloats(normals, 3),
                                                  box.addIndices(indices, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT),
                                                  half == 0 ? red : blue));
    }
    box.addMeshNode("box", primitives);
    return box;
}
