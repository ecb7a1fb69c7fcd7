#ifndef KX_MESH_KXRLMESHFILE_H
#define KX_MESH_KXRLMESHFILE_H

#include "ArrayList.h"
#include "KxRlControlMesh.h"
#include "KxRlMesh.h"
#include "KxRlMeshGroup.h"
#include "KxRlMeshMaterial.h"
#include "KxRlMeshSkeleton.h"

#include <cstdint>

class KxDClipRegion3D;
class RandomAccessFile;
class StringBuffer;

// Mesh file flag bits (flags[0] to flags[7] of the header).
constexpr uint8_t KXRL_FILEFLAG0_SKELETON = 0x01;        // flags[0]: a skeleton follows the groups
constexpr uint8_t KXRL_FILEFLAG1_GROUPNAMES = 0x01;      // flags[1] (or flags[7]): group names follow
constexpr uint8_t KXRL_FILEFLAG3_SELECTION = 0x01;       // flags[3]
constexpr uint8_t KXRL_FILEFLAG5_FOUNDATION = 0x04;      // flags[5]
constexpr uint8_t KXRL_FILEFLAG5_LAND = 0x02;            // flags[5]
constexpr uint8_t KXRL_FILEFLAG6_COLLISION = 0x10;       // flags[6]
constexpr uint8_t KXRL_FILEFLAG6_WALL = 0x08;            // flags[6]
constexpr uint8_t KXRL_FILEFLAG6_ANTIPHYSIC = 0x04;      // flags[6]
constexpr uint8_t KXRL_FILEFLAG6_FLOOR = 0x01;           // flags[6]
constexpr uint8_t KXRL_FILEFLAG6_POSMATRIXCOUNT = 0x02;  // flags[6]: position matrix count in the header
constexpr uint8_t KXRL_FILEFLAG6_SUBMESHCOUNT = 0x40;    // flags[6]: sub mesh count in the header
constexpr uint8_t KXRL_FILEFLAG6_ROOMCOUNT = 0x80;       // flags[6]: room count in the header
constexpr uint8_t KXRL_FILEFLAG7_GROUPNAMES = 0x01;      // flags[7]

// A whole MSH file in memory: bitmaps, materials, control meshes, rooms, mesh groups with
// their meshes, an optional skeleton, named and position matrices. The file owns all of
// them; materials point at its bitmaps, meshes at its materials. Group references, the
// writer and traversals point into it, so it must outlive them.
class KxRlMeshFile {
public:
    // Every count 0, no arrays, flags 0, empty control mesh list.
    KxRlMeshFile();
    ~KxRlMeshFile();
    KxRlMeshFile(const KxRlMeshFile &) = delete;
    KxRlMeshFile &operator=(const KxRlMeshFile &) = delete;

    // Reads the whole model of the file at `path` and returns it (owned by the caller).
    // The file is untrusted: counts are checked against the bytes left before anything is
    // allocated, indices against what they index, and a mesh without stored bounds is
    // refused. A file that ends where the skipped block would begin (after the group names,
    // or after the named matrices) is complete: the skipped block and the position matrices
    // are then absent and the position matrix count is 0. Throws IOException ("File could
    // not be opened", "Mesh file is truncated ...", "Material index out of range ...", ...);
    // the partly read model is freed then.
    static KxRlMeshFile *CreateFromFile(const char *path);

    // The step that reads the control meshes flagged in the header, in the fixed type order.
    // `fileLength` -1 asks the file.
    void loadControlMeshes(RandomAccessFile *file, int32_t fileLength = -1);

    int32_t getMagicNumber() const { return magicNumber; }
    int getBitmapCount() const { return bitmapCount; }
    KxRlMeshBitmap *getBitmap(int i) const { return bitmaps[i]; }
    int getMaterialCount() const { return materialCount; }
    KxRlMeshMaterial *getMaterial(int i) const { return materials[i]; }
    // One of the eight flag bytes.
    uint8_t getMeshFlag(int i) const { return meshFlags[i]; }
    int getControlMeshCount() const { return static_cast<int>(controlMeshes.getLength()); }
    KxRlControlMesh *getControlMesh(int i) const { return static_cast<KxRlControlMesh *>(controlMeshes.get(i)); }
    int32_t getSubMeshCount() const { return subMeshCount; }
    int getRoomCount() const { return roomCount; }
    KxRlControlMesh *getRoom(int i) const { return rooms[i]; }
    int getMeshGroupCount() const { return meshGroupCount; }
    KxRlMeshGroup *getMeshGroup(int i) const { return meshGroups[i]; }
    // Meshes of that group.
    int getMeshCount(int group) const { return meshGroups[group]->getMeshCount(); }
    KxRlMesh *getMesh(int group, int mesh) const { return meshGroups[group]->getMesh(mesh); }
    // Null when there is none.
    KxRlMeshSkeleton *getSkeleton() const { return skeleton; }
    int getNamedMatrixCount() const { return namedMatrixCount; }
    KxRlMeshNamedMatrix *getNamedMatrix(int i) const { return namedMatrices[i]; }
    int getPosMatrixCount() const { return posMatrixCount; }
    KxRlMeshPosMatrix *getPosMatrix(int i) const { return posMatrices[i]; }

    // Clears `region`, then grows it by the box of each group (group matrices not applied).
    // Empty group boxes are skipped; a file with no vertex at all leaves the region empty.
    void calcPosBounds(KxDClipRegion3D *region) const;

    // Appends the file report: the 3D range, the eight flag bytes, one line per control mesh
    // and room, then each group's report below a line of 70 '-'.
    void toString(StringBuffer *buffer) const;

private:
    void initPrefill();
    // The reading steps of CreateFromFile, in file order.
    void loadHeader(RandomAccessFile *file, int32_t fileLength);
    void loadBitmapsAndMaterials(RandomAccessFile *file, int32_t fileLength);
    void loadRooms(RandomAccessFile *file, int32_t fileLength);
    void loadMeshGroups(RandomAccessFile *file, int32_t fileLength);
    void loadTail(RandomAccessFile *file, int32_t fileLength);

    int32_t magicNumber;
    int bitmapCount;
    KxRlMeshBitmap **bitmaps;
    int materialCount;
    KxRlMeshMaterial **materials;
    uint8_t meshFlags[8];
    ArrayList controlMeshes;
    int32_t subMeshCount;
    int roomCount;
    KxRlControlMesh **rooms;
    int meshGroupCount;
    KxRlMeshGroup **meshGroups;
    KxRlMeshSkeleton *skeleton;
    int namedMatrixCount;
    KxRlMeshNamedMatrix **namedMatrices;
    int posMatrixCount;
    KxRlMeshPosMatrix **posMatrices;
    // Header value, kept until the position matrices are read.
    int32_t declaredPosMatrixCount;
};

#endif
