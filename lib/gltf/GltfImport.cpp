#include "GltfImport.h"

#include "GltfAccessor.h"
#include "GltfFile.h"
#include "GltfMaterials.h"
#include "GltfScene.h"
#include "GltfSkin.h"
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
#include <set>

namespace {

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

// The extension a picture of this MIME type has, for a picture named without one.
const char *extensionOfMimeType(const std::string &type) {
    if (type == "image/png") return ".png";
    if (type == "image/jpeg") return ".jpg";
    if (type == "image/vnd-ms.dds") return ".dds";
    return "";
}

// The picture a texture shows, as the model names it.
struct Picture {
    std::string name;  // the file name (a URI's last part), else the image's name; "" for none
    std::string file;  // what to call the picture's file in a message
};

}  // namespace

// Builds a GltfProp from a model read from a file.
class GltfImporter {
public:
    GltfImporter(GltfProp *prop, float scale) : prop(prop), scale(scale) {}

    void run(const char *path) {
        std::vector<std::string> removed;
        loadGltfModel(path, &model, &removed);
        for (const std::string &text : removed) note("Warning : " + text);
        std::vector<GltfMeshInstance> instances = gltfMeshInstances(model);
        for (const GltfMeshInstance &instance : instances)
            if (instance.skin >= 0 && worlds.empty()) worlds = gltfNodeWorlds(model);
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
                addPrimitive(mesh.primitives[p], transform, instance.skin, where, &data, &dataMaterials);
            } catch (const IOException &e) {
                throw IOException(where + ": " + e.getErrorString());
            }
        }
        if (data.empty()) return;
        if (data.size() > kMaxMeshesPerGroup)
            throw IOException(meshWhere(instance.mesh, mesh) + " makes " + std::to_string(data.size()) +
                              " meshes; a mesh group holds at most " + std::to_string(kMaxMeshesPerGroup));

        // The node is the object an editor shows (and lets the user rename); the mesh is its data.
        std::string name = model.nodes[static_cast<size_t>(instance.node)].name;
        if (name.empty()) name = mesh.name;
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

    // The primitive's meshes, placed by `transform`, or by skin `skin` (-1 for none) in its bind
    // pose.
    void addPrimitive(const tinygltf::Primitive &primitive, const GameTransform &transform, int skin,
                      const std::string &where, std::vector<std::unique_ptr<KxDMeshData>> *data,
                      std::vector<KxRlMeshMaterial *> *materials) {
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
        std::vector<float> positions = readGltfFloats(model, attribute("POSITION"), TINYGLTF_TYPE_VEC3);
        size_t count = positions.size() / 3;
        auto optional = [&](const char *name, int components) {
            std::vector<float> values;
            if (attribute(name) < 0) return values;
            values = readGltfFloats(model, attribute(name), components);  // VEC2 and VEC3 are 2 and 3
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

        std::unique_ptr<GltfSkinning> skinning = skinningFor(primitive, skin, count, where);
        // Corners whose vertex is placed by a mirroring transform (a skin may mirror some only).
        std::vector<bool> mirrored(count, transform.mirrors);
        mesh.vertices.resize(count);
        GameTransform skinned = transform;
        for (size_t v = 0; v < count; v++) {
            const GameTransform *place = &transform;
            if (skinning) {
                skinned = GameTransform(skinning->vertexTransform(v), scale);
                place = &skinned;
                mirrored[v] = skinned.mirrors;
            }
            _KxDTexVertex &vertex = mesh.vertices[v];
            vertex.position = place->point(&positions[3 * v]);
            vertex.normal = normals.empty() ? _KxDVector3D{0.0f, 0.0f, 1.0f} : place->normal(&normals[3 * v]);
            vertex.texture = {0.0f, 0.0f};
            if (!texture.empty()) vertex.texture = {texture[2 * v], texture[2 * v + 1]};
        }
        if (!lightMap.empty()) {
            mesh.lightMap.resize(count);
            for (size_t v = 0; v < count; v++)
                mesh.lightMap[v] = {toUnit(lightMap[2 * v]), toUnit(lightMap[2 * v + 1])};
        }
        // A triangle is turned round where most of its corners are mirrored.
        for (size_t t = 0; t + 2 < mesh.triangles.size(); t += 3) {
            uint32_t *corner = &mesh.triangles[t];
            if (mirrored[corner[0]] + mirrored[corner[1]] + mirrored[corner[2]] >= 2) std::swap(corner[1], corner[2]);
        }
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

    // The skin that places the primitive's `count` vertices (skin `skin`, -1 for none), or null
    // when it has none or cannot place them (no joints and weights: the node does, as for any
    // mesh).
    std::unique_ptr<GltfSkinning> skinningFor(const tinygltf::Primitive &primitive, int skin, size_t count,
                                              const std::string &where) {
        if (skin < 0) return nullptr;
        std::unique_ptr<GltfSkinning> skinning(new GltfSkinning(model, skin, worlds, primitive, count));
        if (!skinning->hasWeights()) {
            note("Warning : " + where + " is drawn with skin " + std::to_string(skin) +
                 " but has no JOINTS_0 and WEIGHTS_0; it is placed by its node instead");
            return nullptr;
        }
        auto vertices = [](size_t n) { return std::to_string(n) + (n == 1 ? " vertex" : " vertices"); };
        if (skinning->unweightedCount() > 0)
            note("Warning : " + where + " has " + vertices(skinning->unweightedCount()) +
                 " without any joint weight, left where the mesh data places them");
        if (skinning->rescaledCount() > 0)
            note("Note : " + where + " has " + vertices(skinning->rescaledCount()) +
                 " whose joint weights do not add up to 1; each vertex's are scaled to do so");
        return skinning;
    }

    // The picture that texture `index` shows (its name "" when the texture names none).
    Picture pictureOf(int index) {
        if (index < 0 || static_cast<size_t>(index) >= model.textures.size())
            throw IOException("texture " + std::to_string(index) + " does not exist");
        const tinygltf::Texture &texture = model.textures[static_cast<size_t>(index)];
        int source = texture.source;
        auto dds = texture.extensions.find(kGltfDdsExtension);
        if (dds != texture.extensions.end() && dds->second.IsObject() && dds->second.Has("source") &&
            dds->second.Get("source").IsInt() && dds->second.Get("source").Get<int>() >= 0)
            source = dds->second.Get("source").Get<int>();
        if (source < 0) return {};
        if (static_cast<size_t>(source) >= model.images.size())
            throw IOException("texture " + std::to_string(index) + " shows image " + std::to_string(source) +
                              ", which does not exist");
        const tinygltf::Image &image = model.images[static_cast<size_t>(source)];
        Picture picture;
        if (!image.uri.empty() && image.uri.compare(0, 5, "data:") != 0) {
            picture.name = picture.file = gltfTextureNameOfUri(image.uri);
            return picture;
        }
        // A picture kept inside the model: named, at best, without the extension of its type.
        picture.name = picture.file = image.name;
        if (!picture.name.empty() && picture.name.find('.') == std::string::npos)
            picture.file += extensionOfMimeType(image.mimeType);
        return picture;
    }

    // The game's name for a picture the model names: a .dds name as it is, any other name with
    // ".dds" for its extension and a note (once per picture) that the game needs that file.
    std::string gameTextureName(const Picture &picture, const std::string &where) {
        if (gltfIsDdsName(picture.name)) return picture.name;
        std::string dds = gltfDdsName(picture.name);
        if (notedPictures.insert(picture.file).second)
            note("Note : " + where + ": the game loads .dds textures: convert " + picture.file + " to " + dds);
        return dds;
    }

    // A texture slot's name from the material's texture `texture` (-1 for none, `what` naming
    // it), unless the game's own name for it came with the material (`name` not empty).
    void takeTexture(int texture, const char *what, const std::string &where, std::string *name) {
        Picture picture;
        if (texture >= 0) picture = pictureOf(texture);
        if (picture.name.empty()) return;
        if (name->empty()) {
            *name = gameTextureName(picture, where);
        } else if (!gltfSameTexture(picture.name, *name)) {
            note("Note : " + where + ": its " + what + " texture shows " + picture.file + ", but its " +
                 kGltfMaterialExtras + " custom property names " + *name +
                 ", which is kept (delete the property to use the picture)");
        }
    }

    // The game's texture names and settings that a material carries in its extras, as
    // propbridge writes them (GltfMaterials.h); what is there but broken is reported and left out.
    void readGameExtras(const tinygltf::Material &gltf, const std::string &where, std::string *names,
                        uint8_t *settings, bool *haveSettings) {
        if (!gltf.extras.IsObject() || !gltf.extras.Has(kGltfMaterialExtras)) return;
        const std::string property = std::string("the ") + kGltfMaterialExtras + " custom property";
        const tinygltf::Value &game = gltf.extras.Get(kGltfMaterialExtras);
        if (!game.IsObject()) {
            note("Warning : " + where + ": " + property + " is not an object; it is ignored");
            return;
        }
        if (game.Has(kGltfExtrasTextures)) {
            const tinygltf::Value &list = game.Get(kGltfExtrasTextures);
            bool names4 = list.IsArray() && list.ArrayLen() <= 4;
            for (size_t slot = 0; names4 && slot < list.ArrayLen(); slot++) names4 = list.Get(slot).IsString();
            if (!names4) {
                note("Warning : " + where + ": " + property + "'s " + kGltfExtrasTextures +
                     " is not a list of up to 4 texture names; it is ignored");
            } else {
                for (size_t slot = 0; slot < list.ArrayLen(); slot++) names[slot] = list.Get(slot).Get<std::string>();
            }
        }
        if (game.Has(kGltfExtrasSettings)) {
            const tinygltf::Value &text = game.Get(kGltfExtrasSettings);
            *haveSettings = text.IsString() && gltfSettingsFromText(text.Get<std::string>(), settings);
            if (!*haveSettings)
                note("Warning : " + where + ": " + property + "'s " + kGltfExtrasSettings + " is not " +
                     std::to_string(2 * kGltfSettingsSize) + " hex digits; it is ignored");
        }
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

    // The material for glTF material `index` (-1: glTF's default material). Its base texture is
    // taken, in this order, from the game's names in its extras, from the base colour texture's
    // picture, or from the material's own name when that names a .dds file (editors keep the
    // name when they drop a picture they cannot read); its light-map texture from the extras or
    // the occlusion texture's picture.
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
            readGameExtras(gltf, where, names, settings, &haveSettings);
            try {
                takeTexture(gltf.pbrMetallicRoughness.baseColorTexture.index, "base colour", where, &names[0]);
                takeTexture(gltf.occlusionTexture.index, "occlusion", where, &names[2]);
            } catch (const IOException &e) {
                throw IOException(where + ": " + e.getErrorString());
            }
            std::string named = gltfWithoutCopySuffix(gltf.name);
            if (names[0].empty() && gltfIsDdsName(named)) names[0] = named;
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
    std::set<std::string> notedPictures;  // pictures already named in a note about .dds
    std::vector<GltfMatrix> worlds;       // every node's world transform, when a mesh is skinned
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
