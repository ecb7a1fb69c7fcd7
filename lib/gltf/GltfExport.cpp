#include "GltfExport.h"

#include "GltfFile.h"
#include "GltfMaterials.h"
#include "IOException.h"
#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroup.h"
#include "KxRlMeshMaterial.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <utility>

namespace {

// The game's Z-up point (x, y, z) in glTF's Y-up axes: a proper rotation, no mirror.
void toYUp(const _KxDVector3D &v, float *out) {
    out[0] = v.x;
    out[1] = v.z;
    out[2] = -v.y;
}

// Builds the glTF model: one buffer that every accessor reads, packed view after view.
class ModelBuilder {
public:
    explicit ModelBuilder(const char *generator) {
        model.asset.version = "2.0";
        model.asset.generator = generator ? generator : "";
        model.buffers.resize(1);
    }

    tinygltf::Model model;

    // A view of `bytes` (started on a 4-byte boundary) and an accessor over it; returns the
    // accessor's index.
    int addAccessor(const void *bytes, size_t size, int target, int componentType, int type, size_t count) {
        std::vector<unsigned char> &data = model.buffers[0].data;
        while (data.size() % 4 != 0) data.push_back(0);
        tinygltf::BufferView view;
        view.buffer = 0;
        view.byteOffset = data.size();
        view.byteLength = size;
        view.target = target;
        const unsigned char *first = static_cast<const unsigned char *>(bytes);
        data.insert(data.end(), first, first + size);
        model.bufferViews.push_back(view);

        tinygltf::Accessor accessor;
        accessor.bufferView = static_cast<int>(model.bufferViews.size() - 1);
        accessor.componentType = componentType;
        accessor.type = type;
        accessor.count = count;
        model.accessors.push_back(accessor);
        return static_cast<int>(model.accessors.size() - 1);
    }

    int addFloats(const std::vector<float> &values, int components, bool bounds) {
        int index = addAccessor(values.data(), values.size() * sizeof(float), TINYGLTF_TARGET_ARRAY_BUFFER,
                                TINYGLTF_COMPONENT_TYPE_FLOAT, components, values.size() / components);
        if (bounds) {
            tinygltf::Accessor &accessor = model.accessors.back();
            accessor.minValues.assign(values.begin(), values.begin() + components);
            accessor.maxValues = accessor.minValues;
            for (size_t i = 0; i < values.size(); i++) {
                size_t c = i % components;
                accessor.minValues[c] = std::fmin(accessor.minValues[c], values[i]);
                accessor.maxValues[c] = std::fmax(accessor.maxValues[c], values[i]);
            }
        }
        return index;
    }

    // The material index of `material` (equal materials share one), for a mesh that does or
    // does not carry light-map co-ordinates.
    int materialOf(const KxRlMeshMaterial *material) {
        for (size_t i = 0; i < sources.size(); i++)
            if (sources[i]->equals(material)) return static_cast<int>(i);
        sources.push_back(material);
        model.materials.push_back(makeMaterial(material));
        return static_cast<int>(model.materials.size() - 1);
    }

private:
    static std::string nameOf(const KxRlMeshMaterial *material, int slot) {
        const KxRlMeshBitmap *bitmap = material->getBitmap(slot);
        return bitmap ? bitmap->getFilename() : "";
    }

    // One texture (and its image) per texture file name.
    int textureOf(const std::string &name) {
        auto found = textures.find(name);
        if (found != textures.end()) return found->second;
        tinygltf::Image image;
        image.uri = gltfTextureUri(name.c_str());
        model.images.push_back(image);
        tinygltf::Texture texture;
        tinygltf::Value::Object dds;
        dds["source"] = tinygltf::Value(static_cast<int>(model.images.size() - 1));
        texture.extensions[kGltfDdsExtension] = tinygltf::Value(dds);
        model.textures.push_back(texture);
        if (model.extensionsUsed.empty()) model.extensionsUsed.push_back(kGltfDdsExtension);
        int index = static_cast<int>(model.textures.size() - 1);
        textures[name] = index;
        return index;
    }

    tinygltf::Material makeMaterial(const KxRlMeshMaterial *source) {
        tinygltf::Material material;
        std::string base = nameOf(source, 0);
        material.name = base.empty() ? "material" + std::to_string(model.materials.size()) : base;
        material.alphaMode = source->getHasAlpha() ? "BLEND" : "OPAQUE";
        material.pbrMetallicRoughness.metallicFactor = 0.0;
        if (!base.empty()) material.pbrMetallicRoughness.baseColorTexture.index = textureOf(base);
        std::string lightMap = nameOf(source, 2);
        if (!lightMap.empty()) {
            material.occlusionTexture.index = textureOf(lightMap);
            material.occlusionTexture.texCoord = 1;
        }
        tinygltf::Value::Array names;
        for (int slot = 0; slot < 4; slot++) names.push_back(tinygltf::Value(nameOf(source, slot)));
        tinygltf::Value::Object extras;
        extras[kGltfExtrasTextures] = tinygltf::Value(names);
        extras[kGltfExtrasSettings] = tinygltf::Value(gltfSettingsText(source->getRawData() + 4));
        tinygltf::Value::Object root;
        root[kGltfMaterialExtras] = tinygltf::Value(extras);
        material.extras = tinygltf::Value(root);
        return material;
    }

    std::vector<const KxRlMeshMaterial *> sources;
    std::map<std::string, int> textures;
};

std::string groupName(const KxRlMeshGroup *group, int index) {
    if (group->getName()[0]) return group->getName();
    char name[16];
    std::snprintf(name, sizeof name, "group%02d", index);
    return name;
}

// One primitive for `mesh`, or false when it has nothing to draw.
bool addPrimitive(ModelBuilder &builder, const KxRlMesh *mesh, tinygltf::Primitive *primitive) {
    if (!gltfHasPrimitive(mesh)) return false;
    int vertices = mesh->getVertexCount();
    std::vector<float> positions(3 * static_cast<size_t>(vertices)), normals(positions.size());
    std::vector<float> texture(2 * static_cast<size_t>(vertices));
    const _KxDTexVertex *list = mesh->getVertexList();
    for (int i = 0; i < vertices; i++) {
        toYUp(list[i].position, &positions[3 * i]);
        // Stored normals are quantised; glTF wants unit length (an empty one points up).
        _KxDVector3D n = list[i].normal;
        float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        if (length > 1e-6f)
            n = {n.x / length, n.y / length, n.z / length};
        else
            n = {0.0f, 0.0f, 1.0f};
        toYUp(n, &normals[3 * i]);
        texture[2 * i] = list[i].texture.x;
        texture[2 * i + 1] = list[i].texture.y;
    }
    primitive->attributes["POSITION"] = builder.addFloats(positions, 3, true);
    primitive->attributes["NORMAL"] = builder.addFloats(normals, 3, false);
    primitive->attributes["TEXCOORD_0"] = builder.addFloats(texture, 2, false);
    // The light-map co-ordinates: the mesh's own, or (as the game's writer does for a light-map
    // texture without them) the texture co-ordinates.
    const _KxDVector2D *lightMap = mesh->getLightMapList();
    if (lightMap) {
        std::vector<float> uv(texture.size());
        for (int i = 0; i < vertices; i++) {
            uv[2 * i] = lightMap[i].x;
            uv[2 * i + 1] = lightMap[i].y;
        }
        primitive->attributes["TEXCOORD_1"] = builder.addFloats(uv, 2, false);
    } else if (mesh->getMaterial()->getBitmap(2)) {
        primitive->attributes["TEXCOORD_1"] = builder.addFloats(texture, 2, false);
    }
    size_t indices = static_cast<size_t>(mesh->getIndexCount() / 3 * 3);
    primitive->indices = builder.addAccessor(mesh->getIndexList(), indices * sizeof(uint16_t),
                                             TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER,
                                             TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT, TINYGLTF_TYPE_SCALAR, indices);
    primitive->material = builder.materialOf(mesh->getMaterial());
    primitive->mode = TINYGLTF_MODE_TRIANGLES;
    return true;
}

// The glTF model of `file` (see exportGltf).
tinygltf::Model buildModel(const KxRlMeshFile *file, const char *generator, std::vector<std::string> *notes) {
    ModelBuilder builder(generator);
    tinygltf::Scene scene;
    for (int g = 0; g < file->getMeshGroupCount(); g++) {
        const KxRlMeshGroup *group = file->getMeshGroup(g);
        tinygltf::Node node;
        node.name = groupName(group, g);
        tinygltf::Mesh mesh;
        mesh.name = node.name;
        for (int m = 0; m < group->getMeshCount(); m++) {
            tinygltf::Primitive primitive;
            if (addPrimitive(builder, group->getMesh(m), &primitive)) {
                mesh.primitives.push_back(primitive);
            } else if (notes) {
                notes->push_back("Note : group " + std::to_string(g) + ", mesh " + std::to_string(m) +
                                 " has no triangles and is left out\n");
            }
        }
        if (!mesh.primitives.empty()) {
            builder.model.meshes.push_back(mesh);
            node.mesh = static_cast<int>(builder.model.meshes.size() - 1);
        }
        builder.model.nodes.push_back(node);
        scene.nodes.push_back(static_cast<int>(builder.model.nodes.size() - 1));
    }
    builder.model.scenes.push_back(scene);
    builder.model.defaultScene = 0;
    // A glTF buffer holds at least one byte: a model without triangles has none.
    if (builder.model.buffers[0].data.empty()) builder.model.buffers.clear();
    return std::move(builder.model);
}

}  // namespace

bool gltfHasPrimitive(const KxRlMesh *mesh) { return mesh->getVertexCount() > 0 && mesh->getIndexCount() >= 3; }

void exportGltf(const KxRlMeshFile *file, const char *basePath, bool binary, const char *generator,
                std::vector<std::string> *notes) {
    tinygltf::Model model = buildModel(file, generator, notes);
    saveGltfModel(&model, basePath, binary);
}

std::string exportGlbBytes(const KxRlMeshFile *file, const char *generator) {
    tinygltf::Model model = buildModel(file, generator, nullptr);
    std::ostringstream bytes(std::ios::binary);
    tinygltf::TinyGLTF writer;
    bool written = false;
    try {
        written = writer.WriteGltfSceneToStream(&model, bytes, false, true);
    } catch (const std::exception &e) {  // out of memory, above all
        throw IOException(std::string("Could not write the glTF binary in memory: ") + e.what());
    }
    if (!written || !bytes) throw IOException("Could not write the glTF binary in memory");
    return bytes.str();
}
