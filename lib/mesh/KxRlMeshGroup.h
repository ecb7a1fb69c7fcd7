#ifndef KX_MESH_KXRLMESHGROUP_H
#define KX_MESH_KXRLMESHGROUP_H

#include "KxRlMesh.h"
#include "KxRlMeshMaterial.h"

#include <cstdint>

class KxDClipRegion3D;
class KxDMatTransform;
class KxDMeshData;
class KxRlControlMesh;
class KxRlMeshFile;
class RandomAccessFile;
class StringBuffer;

// Group flag 1 bit: the hidden-on and hidden-off pair follows the matrix in the file.
constexpr uint8_t KXRL_GROUPFLAG1_HIDDEN = 0x10;

// A mesh group: its meshes (owned), two flag bytes, a transform matrix kept and written
// unchanged, the hidden pair and a name. Read only once built.
class KxRlMeshGroup {
public:
    // No meshes, flags {0x00, 0x10}, no matrix, hidden pair 0, empty name.
    KxRlMeshGroup();
    ~KxRlMeshGroup();
    KxRlMeshGroup(const KxRlMeshGroup &) = delete;
    KxRlMeshGroup &operator=(const KxRlMeshGroup &) = delete;

    // A new group (owned by the caller) from a group record and its mesh records: int16 mesh
    // count (negative refused), two flag bytes, matrix, the hidden pair when group flag 1
    // has bit 0x10, then the meshes (KxRlMesh::CreateFromFile, with the same checks).
    // Throws IOException for malformed data; nothing is left allocated then.
    static KxRlMeshGroup *CreateFromFile(RandomAccessFile *file, KxRlMeshMaterial **materials, int materialCount,
                                         int32_t fileLength = -1);
    // A group of one mesh made from the control mesh, named after the room (type Room) or
    // the control type; identity matrix.
    static KxRlMeshGroup *CreateFromControl(KxRlMeshMaterial *material, const KxRlControlMesh *control);
    // A group named "Control": one mesh per control mesh of the file in list order, then one
    // per room, all with `material`; identity matrix. Both forms throw, leaving nothing
    // allocated, for a control mesh too large for a visible mesh (KxRlMesh::CreateFromControl).
    static KxRlMeshGroup *CreateFromControl(KxRlMeshMaterial *material, const KxRlMeshFile *file);
    // A group named "Data" with one mesh per mesh data, all with `material`; identity matrix.
    static KxRlMeshGroup *CreateFromData(KxRlMeshMaterial *material, int count, KxDMeshData **data);
    // The same with material i for mesh i.
    static KxRlMeshGroup *CreateFromData(int count, KxRlMeshMaterial **materials, KxDMeshData **data);

    // Reads a 32-byte name field into the group's name.
    void loadName(RandomAccessFile *file);

    const char *getName() const { return name; }
    int getMeshCount() const { return meshCount; }
    KxRlMesh *getMesh(int i) const { return meshes[i]; }
    uint8_t getGroupFlag(int i) const { return groupFlags[i]; }
    // Null in a group made by the default constructor.
    KxDMatTransform *getMatrix() const { return matrix; }
    int16_t getHiddenOn() const { return hiddenOn; }
    int16_t getHiddenOff() const { return hiddenOff; }

    // Clears `region`, then grows it by the corners of each mesh's box. Meshes without
    // vertices (empty boxes) are skipped, so they do not widen the range; a group with no
    // vertex at all leaves the region empty.
    void calcPosBounds(KxDClipRegion3D *region) const;

    // Appends the group report: "\"name\" : N Meshes (Flag = %02X %02X )\n", the group's
    // box as "%7.3f" ranges, then "Mesh #i : " and each mesh's report, each with a newline.
    void toString(StringBuffer *buffer) const;

private:
    void initPrefill();
    // Takes the array of `count` meshes (owned from then on).
    void setMeshes(int count, KxRlMesh **list);
    void setName(const char *text);

    int meshCount;
    KxRlMesh **meshes;
    uint8_t groupFlags[2];
    KxDMatTransform *matrix;
    int16_t hiddenOn;
    int16_t hiddenOff;
    char name[KXRL_MESH_NAME_SIZE];
};

#endif
