#ifndef KX_MESH_KXRLCONTROLMESH_H
#define KX_MESH_KXRLCONTROLMESH_H

#include "KxDVector.h"

#include <cstdint>

class RandomAccessFile;
class StringBuffer;

// The kind of an invisible control mesh. Types 1 to 7 are announced by one mesh file flag
// each and stand in the file in this order; any number of rooms follow them.
enum _KxRlControlMeshType {
    KXRL_CONTROL_NONE = 0,
    KXRL_CONTROL_SELECTION = 1,   // flags[3] bit 0x01
    KXRL_CONTROL_COLLISION = 2,   // flags[6] bit 0x10
    KXRL_CONTROL_WALL = 3,        // flags[6] bit 0x08
    KXRL_CONTROL_FOUNDATION = 4,  // flags[5] bit 0x04
    KXRL_CONTROL_ANTIPHYSIC = 5,  // flags[6] bit 0x04
    KXRL_CONTROL_LAND = 6,        // flags[5] bit 0x02
    KXRL_CONTROL_FLOOR = 7,       // flags[6] bit 0x01
    KXRL_CONTROL_ROOM = 8         // counted by the room count (flags[6] bit 0x80)
};

// "Selection", "Collision", "Wall", "Foundation", "AntiPhysic", "Land", "Floor", "Room";
// null for any other value.
const char *kxrlGetControlTypeName(int type);

// A plain triangle list that the game uses for selection, collision, walls and the like:
// unquantised positions and 16-bit indices, three per triangle. Every index is below the
// vertex count.
class KxRlControlMesh {
public:
    // Type 0, no room name, no vertices, no indices.
    KxRlControlMesh();
    ~KxRlControlMesh();
    KxRlControlMesh(const KxRlControlMesh &) = delete;
    KxRlControlMesh &operator=(const KxRlControlMesh &) = delete;

    // A new control mesh (owned by the caller) from one record: for a Room the 32-byte room
    // name, then vertex count V, face count F, V x 3 floats, 3F uint16 indices and padding
    // to a multiple of 4. `fileLength` is the file's total size (-1: ask the file); the
    // counts are checked against the bytes left before anything is allocated. Throws
    // IOException for a negative or oversized count ("Mesh file is truncated ...") and for
    // an index not below V ("Control mesh vertex index out of range ..."); the file's own
    // IOException passes through; nothing is left allocated then.
    static KxRlControlMesh *CreateFromFile(RandomAccessFile *file, _KxRlControlMeshType type, int32_t fileLength = -1);

    _KxRlControlMeshType getControlType() const { return controlType; }
    // The name of the type (kxrlGetControlTypeName), null for an unknown type.
    const char *getControlTypeName() const;
    // Null unless the type is Room.
    const char *getRoomName() const { return roomName; }
    int getVertexCount() const { return vertexCount; }
    _KxDVector3D *getVertexList() const { return vertexList; }
    // 3 x the face count of the file.
    int getIndexCount() const { return indexCount; }
    uint16_t *getIndexList() const { return indexList; }

    // Appends the type name, for a Room a blank and the room name in double quotes, then
    // " (V vertices and I indices)". No newline.
    void toString(StringBuffer *buffer) const;

private:
    _KxRlControlMeshType controlType;
    char *roomName;
    int vertexCount;
    _KxDVector3D *vertexList;
    int indexCount;
    uint16_t *indexList;
};

#endif
