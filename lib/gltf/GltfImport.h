#ifndef KX_GLTF_GLTFIMPORT_H
#define KX_GLTF_GLTFIMPORT_H

// A glTF 2.0 model turned into the mesh groups of a prop.
//
// Every node of the scene that draws a mesh becomes one mesh group, named after the node (the
// object an editor shows), else the glTF mesh, else group00 ..., its vertices moved by the
// node's world transform, or for a skinned mesh by its skin in the bind pose (GltfSkin.h), and
// turned from glTF's axes (Y up) to the game's (Z up): (x, y, z) becomes (x, -z, y). Each
// triangle primitive becomes one mesh of the group, or several when it has more vertices than
// 16-bit indices reach. Strips and fans become triangle lists; points and lines are left out
// with a warning. A primitive without normals gets flat ones. TEXCOORD_0 gives the texture
// co-ordinates and TEXCOORD_1 the light-map co-ordinates (held to 0..1). Each glTF material
// becomes one material; its textures are named as GltfImporter::materialFor says (the game's
// names in the extras, the pictures' file names, the material's own name), a picture that is
// no .dds file by its base name with ".dds" and a note. A transform that mirrors reverses the
// corner order of every triangle, so faces keep facing out. Values that break the glTF schema
// are left out with a warning each.

#include <memory>
#include <string>
#include <vector>

class KxRlMeshBitmap;
class KxRlMeshGroup;
class KxRlMeshMaterial;
class KxRlRebuiltProp;

class GltfProp {
public:
    // Reads the glTF or GLB file at `path` and builds the groups, scaled by `scale` about the
    // origin after turning. The file is untrusted: anything out of range, too short, broken
    // or not supported throws IOException with a text that says what and where ("mesh 0
    // (\"box\"), primitive 1: accessor 4 reaches beyond the end of buffer view 2 ..."), as do
    // a texture name longer than 31 characters and a model without any triangle.
    static GltfProp *CreateFromFile(const char *path, float scale);
    ~GltfProp();
    GltfProp(const GltfProp &) = delete;
    GltfProp &operator=(const GltfProp &) = delete;

    int getGroupCount() const { return static_cast<int>(groups.size()); }
    KxRlMeshGroup *getGroup(int i) const { return groups[static_cast<size_t>(i)].get(); }
    const std::string &getGroupName(int i) const { return groupNames[static_cast<size_t>(i)]; }

    // Adds one group reference per group to `prop`, named as the group; the groups stay this
    // object's, which must outlive every export of the prop.
    void addTo(KxRlRebuiltProp *prop) const;

    // What the reading left out or made up, one line each, starting with "Warning : " or
    // "Note : " and ending in a line break, in the order they arose.
    const std::vector<std::string> &getMessages() const { return messages; }

private:
    GltfProp() = default;
    friend class GltfImporter;

    // Destroyed in reverse order: groups (whose meshes use the materials), then materials,
    // then the bitmaps the materials name.
    std::vector<std::unique_ptr<KxRlMeshBitmap>> bitmaps;
    std::vector<std::unique_ptr<KxRlMeshMaterial>> materials;
    std::vector<std::unique_ptr<KxRlMeshGroup>> groups;
    std::vector<std::string> groupNames;
    std::vector<std::string> messages;
};

#endif
