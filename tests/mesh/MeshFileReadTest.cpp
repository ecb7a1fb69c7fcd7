// Reading valid files: every section, flag-driven field and the vertex decoding.

#include "KxDMatTransform.h"
#include "KxRlMeshFile.h"
#include "MeshTestFiles.h"

#include <gtest/gtest.h>

namespace {

class RichFile : public ::testing::Test {
protected:
    void SetUp() override { file = loadMsh(folder, buildMsh(richDescription())); }
    TempFolder folder;
    std::unique_ptr<KxRlMeshFile> file;
};

TEST_F(RichFile, headerCountsAndSectionsBeforeTheGroups) {
    EXPECT_EQ(10, file->getMagicNumber());
    ASSERT_EQ(3, file->getBitmapCount());
    EXPECT_STREQ("lm_chair.dds", file->getBitmap(2)->getFilename());
    ASSERT_EQ(3, file->getMaterialCount());
    EXPECT_EQ(file->getBitmap(0), file->getMaterial(0)->getBitmap(0));
    EXPECT_EQ(nullptr, file->getMaterial(0)->getBitmap(1));
    EXPECT_EQ(file->getBitmap(2), file->getMaterial(0)->getBitmap(2));
    EXPECT_EQ(0x5A, file->getMeshFlag(4));
    EXPECT_EQ(7, file->getSubMeshCount());

    // Control meshes in the fixed type order, whatever the flag bytes' order.
    ASSERT_EQ(7, file->getControlMeshCount());
    for (int i = 0; i < 7; i++) EXPECT_EQ(i + 1, file->getControlMesh(i)->getControlType());
    const KxRlControlMesh *collision = file->getControlMesh(1);
    ASSERT_EQ(4, collision->getVertexCount());
    EXPECT_FLOAT_EQ(1.5f, collision->getVertexList()[3].y);
    ASSERT_EQ(6, collision->getIndexCount());
    EXPECT_EQ(3, collision->getIndexList()[5]);
    EXPECT_EQ(nullptr, collision->getRoomName());

    ASSERT_EQ(2, file->getRoomCount());
    EXPECT_EQ(KXRL_CONTROL_ROOM, file->getRoom(1)->getControlType());
    EXPECT_STREQ("hall", file->getRoom(1)->getRoomName());
}

TEST_F(RichFile, groupsAndMeshFields) {
    ASSERT_EQ(3, file->getMeshGroupCount());
    const KxRlMeshGroup *chair = file->getMeshGroup(0);
    EXPECT_STREQ("chair", chair->getName());
    EXPECT_EQ(1, chair->getHiddenOn());
    EXPECT_EQ(2, chair->getHiddenOff());
    EXPECT_FLOAT_EQ(20.0f, chair->getMatrix()->getValue(3, 1));
    EXPECT_EQ(0, file->getMeshGroup(1)->getHiddenOn());
    EXPECT_EQ(0, file->getMeshCount(2));

    const KxRlMesh *seat = file->getMesh(0, 0);
    EXPECT_EQ(file->getMaterial(0), seat->getMaterial());
    EXPECT_EQ(0x12345678, seat->getIndexIdent());
    EXPECT_EQ(77, seat->getVertexIdent());
    EXPECT_EQ(99, seat->getBoneIdent());
    ASSERT_EQ(3, seat->getVertexCount());
    const _KxDTexVertex &v1 = seat->getVertexList()[1];
    EXPECT_EQ(2.5f, v1.position.x);
    EXPECT_EQ(-4.0f, v1.position.y);
    EXPECT_EQ(1.5f, v1.position.z);
    EXPECT_EQ(4.0f, seat->getMaxTy());
    EXPECT_EQ(0.25f, seat->getMinLmTx());
    ASSERT_NE(nullptr, seat->getLightMapList());
    EXPECT_EQ(1.0f, seat->getLightMapList()[1].x);
    EXPECT_EQ(0.0f, seat->getLightMapList()[1].y);
    EXPECT_EQ(nullptr, seat->getBoneList());
    ASSERT_EQ(2, seat->getJointCount());
    EXPECT_EQ(2, seat->getJointVertex(0));
    EXPECT_EQ(40, seat->getJointPos(0));
    EXPECT_EQ(-3, seat->getJoint(1)->pos);

    const KxRlMesh *back = file->getMesh(0, 1);
    EXPECT_EQ(0, back->getIndexIdent());
    EXPECT_EQ(-1, back->getVertexIdent());
    EXPECT_EQ(0, back->getJointCount());
    EXPECT_EQ(nullptr, back->getLightMapList());
    ASSERT_NE(nullptr, back->getBoneList());
    EXPECT_EQ(3.0f, back->getBoneList()[3].values[3]);
    EXPECT_EQ(3, back->getBoneList()[3].bytes[0]);
    EXPECT_EQ(6, back->getIndexCount());
    EXPECT_EQ(3, back->getIndexList()[5]);
    EXPECT_EQ(20.0f, back->getVertexList()[3].position.z);
}

TEST_F(RichFile, skeletonNamedAndPositionMatrices) {
    const KxRlMeshSkeleton *skeleton = file->getSkeleton();
    ASSERT_NE(nullptr, skeleton);
    EXPECT_EQ(4242, skeleton->getSkeletonIdent());
    ASSERT_EQ(3, skeleton->getBoneCount());
    EXPECT_STREQ("leg", skeleton->getBone(2)->getBoneName());
    EXPECT_EQ(skeleton->getBone(0), skeleton->getBone(2)->getParent());

    ASSERT_EQ(2, file->getNamedMatrixCount());
    EXPECT_STREQ("light", file->getNamedMatrix(1)->getName());
    EXPECT_EQ(3.0f, file->getNamedMatrix(1)->getMatrix()->getValue(3, 2));

    ASSERT_EQ(2, file->getPosMatrixCount());
    EXPECT_EQ(-5, file->getPosMatrix(1)->getUnk1());
    EXPECT_EQ(6.0f, file->getPosMatrix(1)->getPos()->z);
}

// A single-mesh file around one mesh record.
std::vector<uint8_t> oneMeshFile(const MshMesh &mesh) {
    MshDescription d;
    d.materials = {mshMaterial(0xFF)};
    MshGroup group;
    group.meshes = {mesh};
    d.groups = {group};
    return buildMsh(d);
}

TEST(MeshFileRead, vertexDecoding) {
    MshMesh mesh;
    mesh.posBounds = {{-2, 5, 7, 2, 5, 7}};  // Y and Z flat: every vertex decodes to min there
    mesh.texBounds = {{1, 0, 3, 65535}};
    MshVertex v{{0, 1234, 65535}, {0, 32767, 65535}, {65535, 100}};
    mesh.vertices = {v};
    TempFolder folder;
    auto file = loadMsh(folder, oneMeshFile(mesh));
    const _KxDTexVertex &d = file->getMesh(0, 0)->getVertexList()[0];
    EXPECT_EQ(-2.0f, d.position.x);
    EXPECT_EQ(5.0f, d.position.y);
    EXPECT_EQ(7.0f, d.position.z);
    EXPECT_EQ(-1.0f, d.normal.x);
    EXPECT_NEAR(-1.0f / 65535.0f, d.normal.y, 1e-9);  // 2 * 32767 / 65535 - 1 in float
    EXPECT_EQ(1.0f, d.normal.z);
    EXPECT_EQ(3.0f, d.texture.x);
    EXPECT_EQ(100.0f, d.texture.y);
}

TEST(MeshFileRead, reversedBoundsAreNormalisedAfterDecoding) {
    MshMesh mesh;
    mesh.posBounds = {{10, 0, 0, 0, 65535, 1}};  // X given high to low
    mesh.vertices = {MshVertex{{0, 7, 0}, {0, 0, 0}, {0, 0}}};
    TempFolder folder;
    auto file = loadMsh(folder, oneMeshFile(mesh));
    const KxRlMesh *m = file->getMesh(0, 0);
    EXPECT_EQ(10.0f, m->getVertexList()[0].position.x);  // decoded with the bounds as stored
    EXPECT_EQ(7.0f, m->getVertexList()[0].position.y);
    EXPECT_EQ(0.0f, m->getMinX());
    EXPECT_EQ(10.0f, m->getMaxX());
    EXPECT_FLOAT_EQ(10.0f / 65535.0f, m->getPosBounds()->getStepX());
}

// Odd face counts leave 2 padding bytes after the indices, even ones none; the vertices
// that follow read right only when the padding is honoured.
TEST(MeshFileRead, indexPaddingForOddAndEvenFaceCounts) {
    for (int faces = 1; faces <= 4; faces++) {
        MshMesh mesh;
        setSixtyFourthBounds(mesh, 0, 0, 0);
        addVertex(mesh, 1, 2, 3);
        addVertex(mesh, 4, 5, 6);
        addVertex(mesh, 7, 8, 9);
        for (int f = 0; f < faces; f++) mesh.indices.insert(mesh.indices.end(), {0, 1, 2});
        TempFolder folder;
        auto file = loadMsh(folder, oneMeshFile(mesh));
        const KxRlMesh *m = file->getMesh(0, 0);
        EXPECT_EQ(3 * faces, m->getIndexCount());
        EXPECT_EQ(9.0f, m->getVertexList()[2].position.z) << faces << " faces";
    }
}

TEST(MeshFileRead, optionalHeaderCountsFollowFlags) {
    // 0x40 alone: only the sub mesh count follows the flags.
    MshDescription d;
    d.flags[6] = 0x40;
    d.subMeshCount = 12;
    d.bitmaps = {"a.dds"};
    TempFolder folder;
    auto file = loadMsh(folder, buildMsh(d));
    EXPECT_EQ(12, file->getSubMeshCount());
    EXPECT_STREQ("a.dds", file->getBitmap(0)->getFilename());

    // 0xC2: position matrix count, sub mesh count, room count, in that order.
    MshDescription c;
    c.flags[6] = 0xC2;
    c.subMeshCount = 3;
    c.rooms = {makeControl(3, 1, "den")};
    c.posMatrices = {MshPosMatrix{}};
    auto all = loadMsh(folder, buildMsh(c), "c2.msh");
    EXPECT_EQ(3, all->getSubMeshCount());
    EXPECT_EQ(1, all->getRoomCount());
    EXPECT_EQ(1, all->getPosMatrixCount());
}

TEST(MeshFileRead, namedMatrixCountIsAnUnsignedByte) {
    MshDescription d;
    d.flags[2] = 0x80;
    for (int i = 0; i < 128; i++) d.namedMatrices.push_back({"m" + std::to_string(i), mshIdentity()});
    TempFolder folder;
    auto file = loadMsh(folder, buildMsh(d));
    ASSERT_EQ(128, file->getNamedMatrixCount());
    EXPECT_STREQ("m127", file->getNamedMatrix(127)->getName());
}

TEST(MeshFileRead, skippedBlockLengthCountsItself) {
    MshDescription d;
    d.flags[6] = 0x02;
    d.posMatrices = {{9, mshIdentity(), {{1, 1, 1}}}};
    TempFolder folder;
    EXPECT_EQ(9, loadMsh(folder, buildMsh(d), "a.msh")->getPosMatrix(0)->getUnk1());  // length 4
    d.skippedBytes.assign(37, 0xEE);
    EXPECT_EQ(9, loadMsh(folder, buildMsh(d), "b.msh")->getPosMatrix(0)->getUnk1());
}

// A file that ends where the skipped block would begin is complete: after the group names
// (the writer's files) or after the named matrices. Announced position matrices are absent.
TEST(MeshFileRead, fileMayEndBeforeTheSkippedBlock) {
    MshDescription d;
    d.flags = {{0, 0x01, 0, 0, 0, 0, 0x02, 0}};
    d.posMatrixCount = 5;
    d.groups = {MshGroup{}};
    d.groups[0].name = "last";
    d.writeTail = false;
    TempFolder folder;
    auto file = loadMsh(folder, buildMsh(d));
    EXPECT_STREQ("last", file->getMeshGroup(0)->getName());
    EXPECT_EQ(0, file->getPosMatrixCount());

    d.flags[2] = 1;
    d.namedMatrices = {{"n", mshIdentity()}};
    auto named = loadMsh(folder, buildMsh(d), "named.msh");
    EXPECT_EQ(1, named->getNamedMatrixCount());
    EXPECT_EQ(0, named->getPosMatrixCount());
}

TEST(MeshFileRead, nameFieldsWithoutTerminatorKeepAll32Bytes) {
    MshDescription d;
    d.flags[7] = 0x01;  // group names through flags[7]
    d.bitmaps = {"abcdefghijklmnopqrstuvwxyz012345", "short.dds"};
    d.groups = {MshGroup{}};
    d.groups[0].name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ!@#$%^";
    TempFolder folder;
    auto file = loadMsh(folder, buildMsh(d));
    EXPECT_STREQ("abcdefghijklmnopqrstuvwxyz012345", file->getBitmap(0)->getFilename());
    EXPECT_STREQ("short.dds", file->getBitmap(1)->getFilename());
    EXPECT_STREQ("ABCDEFGHIJKLMNOPQRSTUVWXYZ!@#$%^", file->getMeshGroup(0)->getName());
}

TEST(MeshFileRead, bitmapIndicesAreUnsignedBytes) {
    MshDescription d;
    for (int i = 0; i < 255; i++) d.bitmaps.push_back("t" + std::to_string(i) + ".dds");
    d.materials = {mshMaterial(254, 0xFF, 200, 0)};
    d.magic = 12345;  // kept, never tested
    TempFolder folder;
    auto file = loadMsh(folder, buildMsh(d));
    EXPECT_EQ(12345, file->getMagicNumber());
    const KxRlMeshMaterial *m = file->getMaterial(0);
    EXPECT_STREQ("t254.dds", m->getBitmap(0)->getFilename());
    EXPECT_EQ(nullptr, m->getBitmap(1));
    EXPECT_STREQ("t200.dds", m->getBitmap(2)->getFilename());
    EXPECT_STREQ("t0.dds", m->getBitmap(3)->getFilename());
}

}  // namespace
