#include "GltfImport.h"

#include "GltfAccessor.h"
#include "GltfFile.h"
#include "GltfMaterials.h"
#include "GltfScene.h"
#include "GltfTriangles.h"
#include "IOException.h"
#include "KxRlMeshGroup.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlMeshMaterial.h"
#include "KxRlRebuiltProp.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

namespace {

// Extensions a file may require: those that change nothing this reader takes from it.
const char *const kReadableExtensions[] = {"MSFT_texture_dds", "KHR_mesh_quantization", "KHR_materials_unlit"};

// Most meshes a group holds: the group record counts them in 16 bits.
const size_t kMaxMeshesPerGroup = 32767;

// The transform from a node's space to the game's: the node's world transform, then glTF's
// Y-up axes turned to the game's Z-up ones, (x, y, z) to (x, -z, y), then the scale.
struct GameTransform {
    double linear[3][3];  // [row][column]
    double translation[3];
    double direction[3][3];  // for normals: the inverse transpose, up to a positive factor
    bool mirrors;

    GameTransform(const GltfMatrix &world, double scale) {
        GltfMatrix axes = {{scale, 0, 0, 0, 0, 0, scale, 0, 0, -scale, 0, 0, 0, 0, 0, 1}};
        GltfMatrix m = axes.after(world);
        for (int r = 0; r < 3; r++) {
            translation[r] = m.m[12 + r];
            for (int c = 0; c < 3; c++) linear[r][c] = m.m[4 * c + r];
        }
        double det = m.determinant();
        mirrors = det < 0;
        for (int r = 0; r < 3; r++)
            for (int c = 0; c < 3; c++) {
                // Cofactors: det x the inverse transpose; a singular part is used as it is.
                int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
                double cofactor = linear[r1][c1] * linear[r2][c2] - linear[r1][c2] * linear[r2][c1];
                direction[r][c] = det > 0 ? cofactor : det < 0 ? -cofactor : linear[r][c];
            }
    }

    _KxDVector3D point(const float *p) const {
        double out[3];
        for (int r = 0; r < 3; r++)
            out[r] = linear[r][0] * p[0] + linear[r][1] * p[1] + linear[r][2] * p[2] + translation[r];
        return {static_cast<float>(out[0]), static_cast<float>(out[1]), static_cast<float>(out[2])};
    }

    // A unit normal, or +Z for one that has no direction.
    _KxDVector3D normal(const float *n) const {
        double out[3], length = 0;
        for (int r = 0; r < 3; r++) {
            out[r] = direction[r][0] * n[0] + direction[r][1] * n[1] + direction[r][2] * n[2];
            length += out[r] * out[r];
        }
        length = std::sqrt(length);
        if (!(length > 1e-12)) return {0.0f, 0.0f, 1.0f};
        return {static_cast<float>(out[0] / length), static_cast<float>(out[1] / length),
                static_cast<float>(out[2] / length)};
    }
};

float toUnit(float v) { return std::min(1.0f, std::max(0.0f, v)); }

}  // namespace

// Builds a GltfProp from a model read from a file.
class GltfImporter {
public:
    GltfImporter(GltfProp *prop, float scale) : prop(prop), scale(scale) {}

    void run(const char *path) {
        loadGltfModel(path, &model);
        for (const std::string &required : model.extensionsRequired) {
            bool known = false;
            for (const char *readable : kReadableExtensions) known = known || required == readable;
            if (!known)
                throw IOException("the model requires the glTF extension " + required + ", which is not supported");
        }
        std::vector<GltfMeshInstance> instances = gltfMeshInstances(model);
        for (const GltfMeshInstance &instance : instances) addGroup(instance);
        if (prop->groups.empty()) throw IOException("the model holds no triangles to make a prop of");
    }

private:
    void note(const std::string &text) { prop->messages.push_back(text + "\n"); }

    static std::string meshWhere(int mesh, const tinygltf::Mesh &gltfMesh) {
        std::string where = "mesh " + std::to_string(mesh);
        return gltfMesh.name.empty() ? where : where + " (\"" + gltfMesh.name + "\")";
    }

    void addGroup(const GltfMeshInstance &instance) {
        const tinygltf::Mesh &mesh = model.meshes[static_cast<size_t>(instance.mesh)];
        GameTransform transform(instance.world, scale);
        std::vector<std::unique_ptr<KxDMeshData>> data;
        std::vector<KxRlMeshMaterial *> dataMaterials;
        for (size_t p = 0; p < mesh.primitives.size(); p++) {
            std::string where = meshWhere(instance.mesh, mesh) + ", primitive " + std::to_string(p);
            try {
                addPrimitive(mesh.primitives[p], transform, where, &data, &dataMaterials);
            } catch (const IOException &e) {
                throw IOException(where + ": " + e.getErrorString());
            }
        }
        if (data.empty()) return;
        if (data.size() > kMaxMeshesPerGroup)
            throw IOException(meshWhere(instance.mesh, mesh) + " makes " + std::to_string(data.size()) +
                              " meshes; a mesh group holds at most " + std::to_string(kMaxMeshesPerGroup));

        std::string name = mesh.name;
        if (name.empty()) name = model.nodes[static_cast<size_t>(instance.node)].name;
        if (name.empty()) {
            char fallback[16];
            std::snprintf(fallback, sizeof fallback, "group%02d", static_cast<int>(prop->groups.size()));
            name = fallback;
        }
        std::vector<KxDMeshData *> list;
        for (const auto &piece : data) list.push_back(piece.get());
        prop->groups.emplace_back(
            KxRlMeshGroup::CreateFromData(static_cast<int>(list.size()), dataMaterials.data(), list.data()));
        prop->groupNames.push_back(name);
    }

    void addPrimitive(const tinygltf::Primitive &primitive, const GameTransform &transform, const std::string &where,
                      std::vector<std::unique_ptr<KxDMeshData>> *data, std::vector<KxRlMeshMaterial *> *materials) {
        int mode = primitive.mode;
        if (mode >= TINYGLTF_MODE_POINTS && mode <= TINYGLTF_MODE_LINE_STRIP) {
            note("Warning : " + where + " draws " + (mode == TINYGLTF_MODE_POINTS ? "points" : "lines") +
                 ", which a prop cannot hold; it is left out");
            return;
        }
        auto attribute = [&primitive](const char *name) {
            auto found = primitive.attributes.find(name);
            return found == primitive.attributes.end() ? -1 : found->second;
        };
        if (attribute("POSITION") < 0) throw IOException("has no POSITION attribute");
        std::vector<float> positions = readGltfFloats(model, attribute("POSITION"), 3);
        size_t count = positions.size() / 3;
        auto optional = [&](const char *name, int components) {
            std::vector<float> values;
            if (attribute(name) < 0) return values;
            values = readGltfFloats(model, attribute(name), components);
            if (values.size() != count * static_cast<size_t>(components))
                throw IOException(std::string("has ") + std::to_string(values.size() / components) + " " + name +
                                  " values for " + std::to_string(count) + " vertices");
            return values;
        };
        std::vector<float> normals = optional("NORMAL", 3), texture = optional("TEXCOORD_0", 2),
                           lightMap = optional("TEXCOORD_1", 2);

        std::vector<uint32_t> indices;
        if (primitive.indices >= 0) {
            indices = readGltfIndices(model, primitive.indices);
            for (uint32_t index : indices)
                if (index >= count)
                    throw IOException("has vertex number " + std::to_string(index) + " among its indices, but " +
                                      std::to_string(count) + " vertices");
        } else {
            indices.resize(count);
            for (size_t i = 0; i < count; i++) indices[i] = static_cast<uint32_t>(i);
        }
        GltfTriangleMesh mesh;
        mesh.triangles = gltfTriangleList(mode, indices);
        if (mesh.triangles.empty()) {
            note("Note : " + where + " has no triangles; it is left out");
            return;
        }

        mesh.vertices.resize(count);
        for (size_t v = 0; v < count; v++) {
            _KxDTexVertex &vertex = mesh.vertices[v];
            vertex.position = transform.point(&positions[3 * v]);
            vertex.normal = normals.empty() ? _KxDVector3D{0.0f, 0.0f, 1.0f} : transform.normal(&normals[3 * v]);
            vertex.texture = {0.0f, 0.0f};
            if (!texture.empty()) vertex.texture = {texture[2 * v], texture[2 * v + 1]};
        }
        if (!lightMap.empty()) {
            mesh.lightMap.resize(count);
            for (size_t v = 0; v < count; v++)
                mesh.lightMap[v] = {toUnit(lightMap[2 * v]), toUnit(lightMap[2 * v + 1])};
        }
        if (transform.mirrors)
            for (size_t t = 0; t + 2 < mesh.triangles.size(); t += 3)
                std::swap(mesh.triangles[t + 1], mesh.triangles[t + 2]);
        if (normals.empty()) {
            gltfFlatNormals(&mesh);
            note("Note : " + where + " has no normals; each triangle gets its own (flat shading)");
        }

        KxRlMeshMaterial *material = materialFor(primitive.material);
        if (!mesh.lightMap.empty() && !material->getBitmap(2))
            note("Note : " + where + " has light-map co-ordinates (TEXCOORD_1), but its material has no light-map "
                                     "(occlusion) texture, so the game does not get them");
        std::vector<std::unique_ptr<KxDMeshData>> pieces = gltfSplitMesh(mesh);
        if (pieces.size() > 1)
            note("Note : " + where + " has " + std::to_string(mesh.vertices.size()) + " vertices; it is split into " +
                 std::to_string(pieces.size()) + " meshes of at most " + std::to_string(KXD_MAX_MESH_VERTICES));
        for (auto &piece : pieces) {
            data->push_back(std::move(piece));
            materials->push_back(material);
        }
    }

    // The file name of the picture that texture `index` shows ("" when it names none).
    std::string textureName(int index) {
        if (index < 0 || static_cast<size_t>(index) >= model.textures.size())
            throw IOException("texture " + std::to_string(index) + " does not exist");
        const tinygltf::Texture &texture = model.textures[static_cast<size_t>(index)];
        int image = texture.source;
        auto dds = texture.extensions.find(kGltfDdsExtension);
        if (dds != texture.extensions.end() && dds->second.IsObject() && dds->second.Has("source") &&
            dds->second.Get("source").IsNumber())
            image = dds->second.Get("source").GetNumberAsInt();
        if (image < 0) return "";
        if (static_cast<size_t>(image) >= model.images.size())
            throw IOException("texture " + std::to_string(index) + " shows image " + std::to_string(image) +
                              ", which does not exist");
        const tinygltf::Image &picture = model.images[static_cast<size_t>(image)];
        if (!picture.uri.empty() && picture.uri.compare(0, 5, "data:") != 0) return gltfTextureNameOfUri(picture.uri);
        return picture.name;
    }

    KxRlMeshBitmap *bitmapFor(const std::string &name, const std::string &where) {
        if (name.empty()) return nullptr;
        if (name.size() >= KXRL_MESH_NAME_FIELD)
            throw IOException(where + ": the texture name \"" + name + "\" has " + std::to_string(name.size()) +
                              " characters; a mesh file holds at most " + std::to_string(KXRL_MESH_NAME_FIELD - 1));
        auto found = bitmapByName.find(name);
        if (found != bitmapByName.end()) return found->second;
        prop->bitmaps.emplace_back(new KxRlMeshBitmap(name.c_str()));
        return bitmapByName[name] = prop->bitmaps.back().get();
    }

    KxRlMeshMaterial *materialFor(int index) {
        auto found = materialByIndex.find(index);
        if (found != materialByIndex.end()) return found->second;
        std::string names[4];
        uint8_t settings[kGltfSettingsSize];
        bool haveSettings = false;
        bool alpha = false;
        std::string where = "the default material";
        if (index >= 0) {
            if (static_cast<size_t>(index) >= model.materials.size())
                throw IOException("names material " + std::to_string(index) + ", which does not exist");
            const tinygltf::Material &gltf = model.materials[static_cast<size_t>(index)];
            where = "material " + std::to_string(index) + (gltf.name.empty() ? "" : " (\"" + gltf.name + "\")");
            // What the game's material holds beyond glTF's words; the textures glTF names win.
            if (gltf.extras.IsObject() && gltf.extras.Has(kGltfMaterialExtras)) {
                const tinygltf::Value &game = gltf.extras.Get(kGltfMaterialExtras);
                if (game.IsObject() && game.Has(kGltfExtrasTextures) && game.Get(kGltfExtrasTextures).IsArray()) {
                    const tinygltf::Value &list = game.Get(kGltfExtrasTextures);
                    for (int slot = 0; slot < 4 && static_cast<size_t>(slot) < list.ArrayLen(); slot++)
                        if (list.Get(slot).IsString()) names[slot] = list.Get(slot).Get<std::string>();
                }
                if (game.IsObject() && game.Has(kGltfExtrasSettings) && game.Get(kGltfExtrasSettings).IsString())
                    haveSettings = gltfSettingsFromText(game.Get(kGltfExtrasSettings).Get<std::string>(), settings);
            }
            try {
                if (gltf.pbrMetallicRoughness.baseColorTexture.index >= 0) {
                    std::string base = textureName(gltf.pbrMetallicRoughness.baseColorTexture.index);
                    if (!base.empty()) names[0] = base;
                }
                if (gltf.occlusionTexture.index >= 0) {
                    std::string light = textureName(gltf.occlusionTexture.index);
                    if (!light.empty()) names[2] = light;
                }
            } catch (const IOException &e) {
                throw IOException(where + ": " + e.getErrorString());
            }
            alpha = gltf.alphaMode == "BLEND" || gltf.alphaMode == "MASK";
        }
        KxRlMeshBitmap *slots[4];
        for (int slot = 0; slot < 4; slot++) slots[slot] = bitmapFor(names[slot], where);
        prop->materials.emplace_back(new KxRlMeshMaterial(slots[0], slots[1], slots[2], slots[3]));
        KxRlMeshMaterial *material = prop->materials.back().get();
        uint8_t *raw = material->getRawData();
        if (haveSettings) std::memcpy(raw + 4, settings, sizeof settings);
        // The alpha switches as the tools set them, unless the settings already agree.
        if ((raw[7] != 0) != alpha) raw[7] = raw[8] = alpha ? 1 : 0;
        return materialByIndex[index] = material;
    }

    GltfProp *prop;
    float scale;
    tinygltf::Model model;
    std::map<std::string, KxRlMeshBitmap *> bitmapByName;
    std::map<int, KxRlMeshMaterial *> materialByIndex;
};

GltfProp::~GltfProp() = default;

GltfProp *GltfProp::CreateFromFile(const char *path, float scale) {
    std::unique_ptr<GltfProp> prop(new GltfProp());
    GltfImporter(prop.get(), scale).run(path);
    return prop.release();
}

void GltfProp::addTo(KxRlRebuiltProp *prop) const {
    for (size_t i = 0; i < groups.size(); i++) {
        KxRlMeshGroupRef *ref = new KxRlMeshGroupRef(groups[i].get());
        ref->setGroupName(groupNames[i].c_str());
        prop->addMeshGroupRef(ref);
    }
}
