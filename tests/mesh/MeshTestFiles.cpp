#include "MeshTestFiles.h"

#include "IOException.h"
#include "KxRlMeshFile.h"
#include "StringBuffer.h"

void setSixtyFourthBounds(MshMesh &mesh, float minX, float minY, float minZ) {
    const float extent = 65535.0f / 64.0f;
    mesh.posBounds = {{minX, minY, minZ, minX + extent, minY + extent, minZ + extent}};
}

void addVertex(MshMesh &mesh, float x, float y, float z) {
    mesh.vertices.push_back(mshVertex(mesh, x, y, z, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f));
}

MshControl makeControl(int vertices, int faces, const std::string &roomName) {
    MshControl control;
    control.roomName = roomName;
    for (int i = 0; i < vertices; i++) {
        control.vertices.push_back(static_cast<float>(i));
        control.vertices.push_back(0.5f * static_cast<float>(i));
        control.vertices.push_back(1.0f);
    }
    for (int f = 0; f < faces; f++) {
        for (int k = 0; k < 3; k++) control.indices.push_back(static_cast<uint16_t>((f + k) % vertices));
    }
    return control;
}

MshDescription richDescription() {
    MshDescription d;
    // Skeleton, group names, 2 named matrices, Selection, an uninterpreted byte, Foundation and
    // Land, then Collision, Wall, AntiPhysic, Floor and all three optional counts.
    d.flags = {{0x01, 0x01, 0x02, 0x01, 0x5A, 0x06, 0xDF, 0x00}};
    d.bitmaps = {"wood.dds", "metal.dds", "lm_chair.dds"};

    auto m0 = mshMaterial(0, 0xFF, 2, 0xFF);
    auto m1 = mshMaterial(1);
    m1[7] = 1;  // alpha
    m1[8] = 1;
    m1[16] = 0x10;  // diffuse colour 0xFF302010
    m1[17] = 0x20;
    m1[18] = 0x30;
    m1[20] = 3;  // texture animation
    m1[21] = 4;
    m1[22] = 5;
    auto m2 = mshMaterial(0xFF);
    d.materials = {m0, m1, m2};

    d.controls[0] = makeControl(3, 1);  // Selection
    d.controls[1] = makeControl(4, 2);  // Collision
    d.controls[2] = makeControl(0, 0);  // Wall
    d.controls[3] = makeControl(3, 1);  // Foundation
    d.controls[4] = makeControl(3, 1);  // AntiPhysic
    d.controls[5] = makeControl(3, 1);  // Land
    d.controls[6] = makeControl(4, 2);  // Floor
    d.rooms = {makeControl(3, 1, "kitchen"), makeControl(4, 2, "hall")};
    d.subMeshCount = 7;

    // Group 0: two meshes with every optional field between them.
    MshGroup chair;
    chair.name = "chair";
    chair.hiddenOn = 1;
    chair.hiddenOff = 2;
    chair.matrix = {{1, 0, 0, 0, 1, 0, 0, 0, 1, 10, 20, 30}};
    MshMesh seat;  // idents, bounds, joints, light-map; one triangle (index padding)
    seat.materialIndex = 0;
    seat.flags = {{0x70, 0x01, 0x00, 0x00}};
    seat.indexIdent = 0x12345678;
    seat.vertexIdent = 77;
    seat.boneIdent = 99;
    setSixtyFourthBounds(seat, -8, -8, 0);
    seat.texBounds = {{0, 0, 2, 4}};
    seat.lmBounds = {{0.25f, 0.5f, 0.75f, 1.0f}};
    addVertex(seat, -6.0f, -8.0f, 0.0f);
    addVertex(seat, 2.5f, -4.0f, 1.5f);
    addVertex(seat, 0.25f, 3.75f, 12.0f);
    seat.indices = {0, 1, 2};
    seat.lightMap = {{{0, 0}}, {{65535, 0}}, {{0, 65535}}};
    seat.joints = {{2, 40}, {0, -3}};
    MshMesh back;  // bones, no joint count; two triangles
    back.materialIndex = 1;
    back.flags = {{0x31, 0x00, 0x05, 0x00}};
    setSixtyFourthBounds(back, 0, 0, 0);
    addVertex(back, 1, 1, 1);
    addVertex(back, 3, 1, 1);
    addVertex(back, 3, 5, 1);
    addVertex(back, 1, 5, 20);
    back.indices = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 4; i++) {
        MshBoneData b{{1.0f, 0.0f, 0.0f, static_cast<float>(i)}, {static_cast<uint8_t>(i), 1, 2, 3}};
        back.bones.push_back(b);
    }
    chair.meshes = {seat, back};

    // Group 1: no hidden pair, one mesh without vertices.
    MshGroup empty;
    empty.name = "empty";
    empty.flags = {{0x01, 0x00}};
    MshMesh nothing;
    nothing.materialIndex = 2;
    nothing.flags = {{0x20, 0x00, 0x00, 0x00}};
    empty.meshes = {nothing};

    // Group 2: no meshes.
    MshGroup none;
    none.name = "none";
    none.flags = {{0x02, 0x14}};
    d.groups = {chair, empty, none};

    d.skeletonIdent = 4242;
    d.bones = {{"root", -1, mshIdentity()}, {"arm", 0, mshIdentity()}, {"leg", 0, mshIdentity()}};
    d.namedMatrices = {{"mount", mshIdentity()}, {"light", {{2, 0, 0, 0, 2, 0, 0, 0, 2, 1, 2, 3}}}};
    d.skippedBytes = {1, 2, 3, 4, 5, 6};
    d.posMatrices = {{11, mshIdentity(), {{1, 2, 3}}}, {-5, mshIdentity(), {{4, 5, 6}}}};
    return d;
}

std::unique_ptr<KxRlMeshFile> loadMsh(const TempFolder &folder, const std::vector<uint8_t> &bytes,
                                      const std::string &name) {
    std::string path = folder.write(name, bytes);
    return std::unique_ptr<KxRlMeshFile>(KxRlMeshFile::CreateFromFile(path.c_str()));
}

std::string reportOf(const KxRlMeshFile &file) {
    StringBuffer buffer;
    file.toString(&buffer);
    return buffer.getChars();
}

std::string readError(const TempFolder &folder, const std::vector<uint8_t> &bytes) {
    try {
        loadMsh(folder, bytes, "broken.msh");
    } catch (const IOException &e) {
        return e.getErrorString();
    }
    return "";
}
