#ifndef KX_TESTS_MSHBUILDER_H
#define KX_TESTS_MSHBUILDER_H

// Writes MSH bytes from a plain description, so that tests can make any file, valid or
// broken. Every section, flag and optional field of the format can be described; which
// optional fields and sections are written follows the flags exactly as a reader expects
// them, and every count is computed from the lists unless an override is given (which is
// how broken files are made). This is test code: it checks nothing.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Raw words of one stored vertex: position, normal and texture codes.
struct MshVertex {
    uint16_t p[3];
    uint16_t n[3];
    uint16_t t[2];
};

// Per-vertex bone binding as stored.
struct MshBoneData {
    float values[4];
    uint8_t bytes[4];
};

struct MshJoint {
    int32_t vertex;
    int32_t pos;
};

// 12 floats, row by row: the images of the X, Y and Z axes, then the translation.
using MshMatrix = std::array<float, 12>;
MshMatrix mshIdentity();

// A mesh record. Optional fields are written by mesh flag: idents with flag 0 bit 0x10,
// bounds with 0x20, joint count with 0x40 (and the joints when that count is above 0),
// light-map pairs with flag 1 bit 0x01, bone data with flag 0 bit 0x01. The lists are
// written as given (a light-map or bone list should hold one entry per vertex).
struct MshMesh {
    int32_t materialIndex = 0;
    std::array<uint8_t, 4> flags{{0x70, 0, 0, 0}};
    int32_t indexIdent = 0;
    int32_t vertexIdent = -1;
    int32_t boneIdent = 0;
    std::array<float, 6> posBounds{{0, 0, 0, 1, 1, 1}};  // minX minY minZ maxX maxY maxZ
    std::array<float, 4> texBounds{{0, 0, 1, 1}};        // minU minV maxU maxV
    std::array<float, 4> lmBounds{{0, 0, 1, 1}};
    std::vector<uint16_t> indices;                       // three per triangle
    std::vector<MshVertex> vertices;
    std::vector<std::array<uint16_t, 2>> lightMap;
    std::vector<MshBoneData> bones;
    std::vector<MshJoint> joints;
    // Written instead of indices.size() / 3, vertices.size(), joints.size() when set.
    std::optional<int32_t> faceCount, vertexCount, jointCount;
};

// A mesh group record followed by its meshes. The hidden pair is written when flag 1 has
// bit 0x10. The name goes to the group names section (when the file's flags announce it).
struct MshGroup {
    std::array<uint8_t, 2> flags{{0x00, 0x10}};
    MshMatrix matrix = mshIdentity();
    int16_t hiddenOn = 0;
    int16_t hiddenOff = 0;
    std::vector<MshMesh> meshes;
    std::string name;
    std::optional<int16_t> meshCount;  // written instead of meshes.size() when set
};

// A control mesh or room record. The room name is written only for rooms.
struct MshControl {
    std::string roomName;
    std::vector<float> vertices;  // x, y, z per vertex
    std::vector<uint16_t> indices;
    std::optional<int32_t> vertexCount, faceCount;
};

struct MshBone {
    std::string name;
    int32_t parent = -1;
    MshMatrix matrix = mshIdentity();
};

struct MshNamedMatrix {
    std::string name;
    MshMatrix matrix = mshIdentity();
};

struct MshPosMatrix {
    int32_t unk1 = 0;
    MshMatrix matrix = mshIdentity();
    std::array<float, 3> pos{{0, 0, 0}};
};

// The control types in the order the file holds them, with the flag that announces each:
// Selection flags[3] 0x01, Collision flags[6] 0x10, Wall flags[6] 0x08, Foundation
// flags[5] 0x04, AntiPhysic flags[6] 0x04, Land flags[5] 0x02, Floor flags[6] 0x01.
// controls[type - 1] is written when its flag is set.
struct MshDescription {
    int32_t magic = 10;
    std::array<uint8_t, 8> flags{{0, 0, 0, 0, 0, 0, 0, 0}};
    std::vector<std::string> bitmaps;               // 32-byte fields; a longer text fills all 32
    std::vector<std::array<uint8_t, 24>> materials;  // raw records (see mshMaterial)
    std::array<MshControl, 7> controls;
    std::vector<MshControl> rooms;                   // written count: rooms.size() or roomCount
    std::vector<MshGroup> groups;
    int32_t skeletonIdent = 0;                       // skeleton written when flags[0] has 0x01
    std::vector<MshBone> bones;
    std::vector<MshNamedMatrix> namedMatrices;       // all written; flags[2] is what a reader counts
    // The tail: the skipped block (its length field counts itself) and the position
    // matrices. Without it the file ends after the named matrices.
    bool writeTail = true;
    std::vector<uint8_t> skippedBytes;
    std::vector<MshPosMatrix> posMatrices;

    // Header counts written instead of the list sizes when set. The three optional header
    // counts are written only when flags[6] announces them (0x02, 0x40, 0x80).
    std::optional<int32_t> bitmapCount, materialCount, groupCount, posMatrixCount, roomCount;
    int32_t subMeshCount = 0;
    std::optional<int32_t> boneCount, skipLength;
};

// Where a field of the built file stands, for tests that corrupt it: every count field
// ("bitmap count", "group 0 mesh count", "group 0 mesh 1 vertex count", ...) with its size
// in bytes, every index field ("group 0 mesh 0 material index", "material 0 bitmap index 2",
// "group 0 mesh 0 index 5", ...), and the start of each section, size 0 ("start of bitmaps",
// "start of materials", "start of control meshes", "start of rooms", "start of mesh groups",
// "start of skeleton", "start of group names", "start of named matrices", "start of skipped
// block", "start of position matrices").
struct MshField {
    std::string what;
    size_t offset;
    int size;
};

// The bytes of the described file; `fields`, when given, receives the field positions.
std::vector<uint8_t> buildMsh(const MshDescription &description, std::vector<MshField> *fields = nullptr);
// The position of the first field named `what`; aborts the test program when there is none.
const MshField &mshFindField(const std::vector<MshField> &fields, const std::string &what);

// A material record with the settings of a new material (bytes 5 and 6 one, 14 four, diffuse
// colour 150, 150, 150, 255) and the four bitmap index bytes given (0xFF: no bitmap).
std::array<uint8_t, 24> mshMaterial(uint8_t b0, uint8_t b1 = 0xFF, uint8_t b2 = 0xFF, uint8_t b3 = 0xFF);

// The 16-bit code of `value` in min..max, rounded to nearest (min gives 0, max 65535).
uint16_t mshQuantise(float value, float min, float max);
// The code of a normal component: -1 gives 0, +1 gives 65535.
uint16_t mshNormalCode(float n);
// A stored vertex of the given position, normal and texture co-ordinates, quantised in the
// mesh's position and texture bounds.
MshVertex mshVertex(const MshMesh &mesh, float x, float y, float z, float nx, float ny, float nz, float u, float v);

#endif
