// Meshes and groups made from control meshes and mesh data; skeleton children.

#include "KxDMatTransform.h"
#include "KxDMeshData.h"
#include "IOException.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroup.h"
#include "MeshTestFiles.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A file with a square Floor (two triangles) and one room.
std::unique_ptr<KxRlMeshFile> controlFile(const TempFolder &folder) {
    MshDescription d;
    d.flags[6] = 0x01 | 0x80;
    MshControl floor;
    floor.vertices = {0, 0, 0, 2, 0, 0, 2, 2, 0, 0, 2, 0};
    floor.indices = {0, 1, 2, 0, 2, 3};
    d.controls[6] = floor;
    d.rooms = {makeControl(3, 1, "attic")};
    return loadMsh(folder, buildMsh(d));
}

TEST(MeshBuild, meshFromControlUnrollsTrianglesWithFlatNormalsAndUnitSquares) {
    TempFolder folder;
    auto file = controlFile(folder);
    KxRlMeshMaterial material;
    std::unique_ptr<KxRlMesh> mesh(KxRlMesh::CreateFromControl(&material, file->getControlMesh(0)));
    EXPECT_EQ(&material, mesh->getMaterial());
    ASSERT_EQ(6, mesh->getVertexCount());
    ASSERT_EQ(6, mesh->getIndexCount());
    const _KxDTexVertex *v = mesh->getVertexList();
    for (int i = 0; i < 6; i++) EXPECT_EQ(i, mesh->getIndexList()[i]);
    EXPECT_EQ(2.0f, v[4].position.x);  // index 4 names control vertex 2
    EXPECT_EQ(2.0f, v[4].position.y);
    // normalize(cross(A - B, A - C)) of a counter-clockwise triangle seen from above.
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(0.0f, v[i].normal.x);
        EXPECT_EQ(1.0f, v[i].normal.z);
    }
    // Triangle 0: A (0,0), B (0,1), C (1,1); triangle 1: B (1,0).
    EXPECT_EQ(0.0f, v[0].texture.x);
    EXPECT_EQ(1.0f, v[1].texture.y);
    EXPECT_EQ(0.0f, v[1].texture.x);
    EXPECT_EQ(1.0f, v[2].texture.x);
    EXPECT_EQ(1.0f, v[4].texture.x);
    EXPECT_EQ(0.0f, v[4].texture.y);
    EXPECT_EQ(2.0f, mesh->getMaxY());
    EXPECT_EQ(0.0f, mesh->getMaxZ());
    EXPECT_EQ(1.0f, mesh->getMaxTx());
    EXPECT_EQ(1.0f, mesh->getMaxLmTy());
    EXPECT_EQ(nullptr, mesh->getLightMapList());
    EXPECT_EQ(0x70, mesh->getMeshFlag(0));
}

TEST(MeshBuild, degenerateControlTriangleGetsAVerticalNormal) {
    MshDescription d;
    d.flags[3] = 0x01;
    MshControl line;
    line.vertices = {0, 0, 0, 1, 1, 1, 2, 2, 2};
    line.indices = {0, 1, 2};
    d.controls[0] = line;
    TempFolder folder;
    auto file = loadMsh(folder, buildMsh(d));
    std::unique_ptr<KxRlMesh> mesh(KxRlMesh::CreateFromControl(nullptr, file->getControlMesh(0)));
    EXPECT_FALSE(std::isnan(mesh->getVertexList()[0].normal.x));
    EXPECT_EQ(1.0f, mesh->getVertexList()[0].normal.z);
}

TEST(MeshBuild, groupsFromControlMeshes) {
    TempFolder folder;
    auto file = controlFile(folder);
    KxRlMeshMaterial material;
    std::unique_ptr<KxRlMeshGroup> all(KxRlMeshGroup::CreateFromControl(&material, file.get()));
    EXPECT_STREQ("Control", all->getName());
    ASSERT_EQ(2, all->getMeshCount());
    EXPECT_EQ(3, all->getMesh(1)->getVertexCount());  // the room after the control meshes
    EXPECT_EQ(1.0f, all->getMatrix()->getValue(2, 2));
    EXPECT_EQ(0x10, all->getGroupFlag(1));

    std::unique_ptr<KxRlMeshGroup> floor(KxRlMeshGroup::CreateFromControl(&material, file->getControlMesh(0)));
    EXPECT_STREQ("Floor", floor->getName());
    std::unique_ptr<KxRlMeshGroup> room(KxRlMeshGroup::CreateFromControl(&material, file->getRoom(0)));
    EXPECT_STREQ("attic", room->getName());
    EXPECT_EQ(1, room->getMeshCount());
}

// One vertex per index, numbered by 16-bit indices: 65,535 indices fit, 65,538 do not.
TEST(MeshBuild, controlMeshTooLargeForAVisibleMeshIsRefused) {
    MshDescription d;
    d.flags[6] = 0x01 | 0x10;  // Collision and Floor
    d.controls[1] = makeControl(3, 21845);
    d.controls[6] = makeControl(3, 21846);
    TempFolder folder;
    auto file = loadMsh(folder, buildMsh(d));
    std::unique_ptr<KxRlMesh> largest(KxRlMesh::CreateFromControl(nullptr, file->getControlMesh(0)));
    EXPECT_EQ(65535, largest->getVertexCount());
    EXPECT_EQ(65534, largest->getIndexList()[65534]);
    try {
        delete KxRlMesh::CreateFromControl(nullptr, file->getControlMesh(1));
        FAIL() << "no exception";
    } catch (const IOException &e) {
        EXPECT_STREQ("Control mesh has 65538 indices: a visible mesh holds at most 65536 vertices", e.getErrorString());
    }
    EXPECT_THROW(delete KxRlMeshGroup::CreateFromControl(nullptr, file.get()), IOException);  // nothing leaks
}

TEST(MeshBuild, groupFromMeshData) {
    KxDMeshData a, b;
    a.allocate(3, 1, true);
    for (int i = 0; i < 3; i++) {
        _KxDTexVertex &v = a.getVertexList()[i];
        v.position = {static_cast<float>(i), -static_cast<float>(i), 1.0f};
        v.normal = {0.0f, 0.0f, 1.0f};
        v.texture = {0.5f * static_cast<float>(i), 2.0f};
        a.getLightMapList()[i] = {0.25f, 0.75f};
        a.getIndexList()[i] = static_cast<uint16_t>(2 - i);
    }
    b.allocate(0, 0, false);
    KxRlMeshMaterial m0, m1;
    KxRlMeshMaterial *materials[2] = {&m0, &m1};
    KxDMeshData *data[2] = {&a, &b};
    std::unique_ptr<KxRlMeshGroup> group(KxRlMeshGroup::CreateFromData(2, materials, data));
    EXPECT_STREQ("Data", group->getName());
    ASSERT_EQ(2, group->getMeshCount());
    const KxRlMesh *mesh = group->getMesh(0);
    EXPECT_EQ(&m0, mesh->getMaterial());
    EXPECT_EQ(&m1, group->getMesh(1)->getMaterial());
    EXPECT_EQ(2, mesh->getIndexList()[0]);
    EXPECT_EQ(0.75f, mesh->getLightMapList()[2].y);
    EXPECT_EQ(-2.0f, mesh->getMinY());
    EXPECT_EQ(2.0f, mesh->getMaxX());
    EXPECT_EQ(1.0f, mesh->getMaxTx());
    EXPECT_EQ(2.0f, mesh->getMinTy());
    EXPECT_EQ(0.0f, mesh->getMinLmTx());
    EXPECT_EQ(1.0f, mesh->getMaxLmTx());
    EXPECT_EQ(0x70, mesh->getMeshFlag(0));
    EXPECT_EQ(nullptr, group->getMesh(1)->getVertexList());

    // The box of a group skips its empty mesh.
    KxDClipRegion3D box;
    group->calcPosBounds(&box);
    EXPECT_EQ(0.0f, box.getMinX());
    EXPECT_EQ(2.0f, box.getMaxX());

    std::unique_ptr<KxRlMeshGroup> shared(KxRlMeshGroup::CreateFromData(&m1, 2, data));
    EXPECT_EQ(&m1, shared->getMesh(0)->getMaterial());
    EXPECT_EQ(&m1, shared->getMesh(1)->getMaterial());
}

TEST(MeshSkeleton, childrenAreCountedInIndexOrder) {
    TempFolder folder;
    auto file = loadMsh(folder, buildMsh(richDescription()));  // parents -1, 0, 0
    KxRlMeshSkeleton *skeleton = file->getSkeleton();
    KxRlMeshBone *root = skeleton->getBone(0);
    EXPECT_EQ(nullptr, root->getParent());
    ASSERT_EQ(2, root->getChildCount());
    EXPECT_EQ(skeleton->getBone(1), root->getChild(0));
    EXPECT_EQ(skeleton->getBone(2), root->getChild(1));
    EXPECT_EQ(2, root->getChildCount());
    EXPECT_EQ(0, skeleton->getBone(2)->getChildCount());
    EXPECT_EQ(1, skeleton->getBone(1)->getIndex());
}

}  // namespace
