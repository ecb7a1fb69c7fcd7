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
    const unsigned char *first = static_cast<const unsigned char *>(bytes);
    data.insert(data.end(), first, first + size);
    model.bufferViews.push_back(view);
    return static_cast<int>(model.bufferViews.size() - 1);
}

int GltfModel::addFloats(const std::vector<float> &values, int components, bool bounds, size_t stride) {
    // Each element followed by zero bytes up to `stride`, as in a buffer shared with other data.
    std::vector<unsigned char> bytes;
    size_t element = 4 * static_cast<size_t>(components);
    for (size_t i = 0; i < values.size(); i += static_cast<size_t>(components)) {
        bytes.insert(bytes.end(), reinterpret_cast<const unsigned char *>(&values[i]),
                     reinterpret_cast<const unsigned char *>(&values[i]) + element);
        bytes.resize(bytes.size() + (stride > element ? stride - element : 0));
    }
    tinygltf::Accessor accessor;
    accessor.bufferView = addView(bytes.data(), bytes.size(), stride);
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

int GltfModel::addAccessor(const std::vector<unsigned char> &bytes, int componentType, int type, size_t count) {
    tinygltf::Accessor accessor;
    accessor.bufferView = addView(bytes.data(), bytes.size());
    accessor.componentType = componentType;
    accessor.type = type;
    accessor.count = count;
    model.accessors.push_back(accessor);
    return static_cast<int>(model.accessors.size() - 1);
}

int GltfModel::addIndices(const std::vector<uint32_t> &indices, int componentType) {
    std::vector<unsigned char> bytes;
    size_t size = componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE ? 1
                  : componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT ? 2 : 4;
    for (uint32_t index : indices)
        for (size_t b = 0; b < size; b++) bytes.push_back(static_cast<unsigned char>(index >> (8 * b)));
    return addAccessor(bytes, componentType, TINYGLTF_TYPE_SCALAR, indices.size());
}

int GltfModel::addJoints(const std::vector<uint8_t> &joints) {
    return addAccessor(std::vector<unsigned char>(joints.begin(), joints.end()),
                       TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE, TINYGLTF_TYPE_VEC4, joints.size() / 4);
}

int GltfModel::addMaterial(const std::string &texture) {
    tinygltf::Image image;
    image.uri = texture;
    return addMaterial("", texture.empty() ? nullptr : &image);
}

int GltfModel::addMaterial(const std::string &name, const tinygltf::Image *picture) {
    tinygltf::Material material;
    material.name = name;
    if (picture) {
        model.images.push_back(*picture);
        tinygltf::Texture t;
        t.source = static_cast<int>(model.images.size() - 1);
        model.textures.push_back(t);
        material.pbrMetallicRoughness.baseColorTexture.index = static_cast<int>(model.textures.size() - 1);
    }
    model.materials.push_back(material);
    return static_cast<int>(model.materials.size() - 1);
}

tinygltf::Image GltfModel::embeddedPicture(const std::string &name, const std::string &mimeType) {
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    tinygltf::Image image;
    image.name = name;
    image.mimeType = mimeType;
    image.bufferView = addView(signature, sizeof signature);
    return image;
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

std::string GltfModel::editedJson(const std::function<void(nlohmann::json &)> &edit) const {
    nlohmann::json document = nlohmann::json::parse(json());
    edit(document);
    return document.dump();
}

std::string GltfModel::editedGlb(const std::function<void(nlohmann::json &)> &edit) const {
    // Header (magic, version, length), then the JSON chunk (length, type, text), then the rest.
    const std::string bytes = glb();
    auto word = [&bytes](size_t at) {
        uint32_t value = 0;
        for (size_t i = 0; i < 4; i++)
            value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
        return value;
    };
    auto put = [](std::string &out, uint32_t value) {
        for (int i = 0; i < 4; i++) out += static_cast<char>(value >> (8 * i));
    };
    uint32_t textLength = word(12);
    nlohmann::json document = nlohmann::json::parse(bytes.substr(20, textLength));
    edit(document);
    std::string text = document.dump();
    while (text.size() % 4) text += ' ';
    std::string rest = bytes.substr(20 + textLength);
    std::string out = bytes.substr(0, 8);
    put(out, static_cast<uint32_t>(20 + text.size() + rest.size()));
    put(out, static_cast<uint32_t>(text.size()));
    out += bytes.substr(16, 4);
    return out + text + rest;
}

GltfModel boxModel() {
    GltfModel box;
    const float centre[3] = {0, 2, 0}, half[3] = {1, 2, 3};
    const float square[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    const int materials[2] = {box.addMaterial("red.dds"), box.addMaterial("blue.dds")};
    std::vector<tinygltf::Primitive> primitives;
    for (int part = 0; part < 2; part++) {
        std::vector<float> positions, normals;
        std::vector<uint32_t> indices;
        // Sides +X, -X, +Y, then -Y, +Z, -Z; corners counter-clockwise seen from outside.
        for (int side = 3 * part; side < 3 * part + 3; side++) {
            int a = side / 2, b = (a + 1) % 3, c = (a + 2) % 3;
            float sign = side % 2 ? -1.0f : 1.0f;
            uint32_t first = static_cast<uint32_t>(positions.size() / 3);
            for (const auto &corner : square) {
                float p[3], n[3] = {0, 0, 0};
                p[a] = centre[a] + sign * half[a];
                p[b] = centre[b] + corner[0] * half[b];
                p[c] = centre[c] + sign * corner[1] * half[c];
                n[a] = sign;
                positions.insert(positions.end(), p, p + 3);
                normals.insert(normals.end(), n, n + 3);
            }
            for (uint32_t i : {0u, 1u, 2u, 0u, 2u, 3u}) indices.push_back(first + i);
        }
        primitives.push_back(GltfModel::primitive(box.addFloats(positions, 3, true), box.addFloats(normals, 3),
                                                  box.addIndices(indices, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT),
                                                  materials[part]));
    }
    box.addMeshNode("box", primitives);
    return box;
}
