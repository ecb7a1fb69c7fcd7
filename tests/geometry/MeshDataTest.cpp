#include "KxDMeshData.h"

#include "IOException.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace {
// A quad in the X-Y plane facing +Z: corners (0,0), (1,0), (1,1), (0,1), triangles
// (0,1,2) and (0,2,3), both counter-clockwise seen from above.
KxDMeshData *makeQuad(bool lightMap, float u0 = 0.0f) {
    KxDMeshData *mesh = new KxDMeshData();
    mesh->allocate(4, 2, lightMap);
    const float xy[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; i++) {
        _KxDTexVertex &v = mesh->getVertexList()[i];
        kxdVecSet(&v.position, xy[i][0], xy[i][1], 0);
        kxdVecSet(&v.normal, 0, 0, 1);
        kxdVecSet(&v.texture, u0 + xy[i][0], xy[i][1]);
        if (lightMap) kxdVecSet(&mesh->getLightMapList()[i], 0.5f * xy[i][0], 0.25f + i);
    }
    const uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
    std::memcpy(mesh->getIndexList(), indices, sizeof indices);
    return mesh;
}

KxDMeshData *makeTriangle() {
    KxDMeshData *mesh = new KxDMeshData();
    mesh->allocate(3, 1, false);
    for (int i = 0; i < 3; i++) {
        _KxDTexVertex &v = mesh->getVertexList()[i];
        kxdVecSet(&v.position, 10.0f + i, 0, 0);
        kxdVecSet(&v.normal, 0, 1, 0);
        kxdVecSet(&v.texture, 0, 0);
    }
    mesh->getIndexList()[0] = 2;
    mesh->getIndexList()[1] = 0;
    mesh->getIndexList()[2] = 1;
    return mesh;
}

// The right-hand normal of triangle f, from its corners in stored order.
_KxDVector3D faceNormal(const KxDMeshData &mesh, int f) {
    const uint16_t *idx = mesh.getIndexList() + 3 * f;
    const _KxDTexVertex *v = mesh.getVertexList();
    _KxDVector3D ab, ac, n;
    kxdVecSub(&ab, &v[idx[1]].position, &v[idx[0]].position);
    kxdVecSub(&ac, &v[idx[2]].position, &v[idx[0]].position);
    kxdVecCross(&n, &ab, &ac);
    kxdVecNormalize(&n);
    return n;
}

void expectFacesAgreeWithNormals(const KxDMeshData &mesh) {
    for (int f = 0; f < mesh.getFaceCount(); f++) {
        _KxDVector3D geometric = faceNormal(mesh, f);
        for (int c = 0; c < 3; c++) {
            const _KxDVector3D &stored = mesh.getVertexList()[mesh.getIndexList()[3 * f + c]].normal;
            EXPECT_NEAR(1.0f, kxdVecDot(&geometric, &stored), 1e-5f) << "face " << f;
        }
    }
}
}  // namespace

TEST(MeshData, allocatesExactSizesAndRefusesMoreThanIndicesReach) {
    KxDMeshData mesh;
    EXPECT_EQ(0, mesh.getVertexCount());
    EXPECT_EQ(nullptr, mesh.getVertexList());
    EXPECT_EQ(nullptr, mesh.getIndexList());
    EXPECT_FALSE(mesh.hasLightMap());

    mesh.allocate(5, 3, true);
    EXPECT_EQ(5, mesh.getVertexCount());
    EXPECT_EQ(3, mesh.getFaceCount());
    EXPECT_EQ(9, mesh.getIndexCount());
    EXPECT_TRUE(mesh.hasLightMap());
    mesh.allocate(KXD_MAX_MESH_VERTICES, 1, false);
    EXPECT_FALSE(mesh.hasLightMap());

    EXPECT_THROW(mesh.allocate(KXD_MAX_MESH_VERTICES + 1, 1, false), IOException);
    EXPECT_THROW(mesh.allocate(-1, 1, false), IOException);
    EXPECT_EQ(KXD_MAX_MESH_VERTICES, mesh.getVertexCount());  // a refusal changes nothing
}

TEST(MeshData, translationMovesPositionsOnly) {
    std::unique_ptr<KxDMeshData> quad(makeQuad(true));
    KxDMatTranslate move(2, 3, 4);
    quad->transform(&move);
    const _KxDTexVertex &v = quad->getVertexList()[2];
    EXPECT_EQ(3.0f, v.position.x);
    EXPECT_EQ(4.0f, v.position.y);
    EXPECT_EQ(4.0f, v.position.z);
    EXPECT_EQ(0.0f, v.normal.x);
    EXPECT_EQ(1.0f, v.normal.z);
    EXPECT_EQ(1.0f, v.texture.x);
    EXPECT_EQ(0.5f, quad->getLightMapList()[2].x);
    EXPECT_EQ(2, quad->getIndexList()[2]);
}

TEST(MeshData, normalsFollowTheSurfaceUnderEveryScaling) {
    // A slanted quad: lift it along x so that its normal is (-1, 0, 1) / sqrt(2).
    std::unique_ptr<KxDMeshData> quad(makeQuad(false));
    for (int i = 0; i < 4; i++) {
        _KxDTexVertex &v = quad->getVertexList()[i];
        v.position.z = v.position.x;
        kxdVecSet(&v.normal, -1, 0, 1);
        kxdVecNormalize(&v.normal);
    }
    expectFacesAgreeWithNormals(*quad);

    KxDMatScale uniform(3);
    quad->transform(&uniform);
    expectFacesAgreeWithNormals(*quad);
    EXPECT_NEAR(1.0f, kxdVecLen(&quad->getVertexList()[0].normal), 1e-6f);

    KxDMatTransform skew;
    KxDMatScale stretch(4, 1, 0.5f);
    KxDMatRotate turn(KXD_AXIS_Y, 0.3f);
    skew.multiply(&stretch);
    skew.multiply(&turn);
    quad->transform(&skew);
    expectFacesAgreeWithNormals(*quad);
    EXPECT_EQ(1, quad->getIndexList()[1]);  // no mirror, no change of corner order
}

TEST(MeshData, mirroringReversesEveryTriangle) {
    for (int axis = 0; axis < 3; axis++) {
        std::unique_ptr<KxDMeshData> quad(makeQuad(false));
        KxDMatScale mirror(axis == 0 ? -1.0f : 1.0f, axis == 1 ? -1.0f : 1.0f,
                           axis == 2 ? -1.0f : 1.0f);
        quad->transform(&mirror);
        const uint16_t expected[6] = {0, 2, 1, 0, 3, 2};
        for (int i = 0; i < 6; i++) EXPECT_EQ(expected[i], quad->getIndexList()[i]) << axis;
        expectFacesAgreeWithNormals(*quad);
    }
    // Mirrored twice is not mirrored at all.
    std::unique_ptr<KxDMeshData> quad(makeQuad(false));
    KxDMatScale flipXY(-1, -1, 2);
    quad->transform(&flipXY);
    EXPECT_EQ(1, quad->getIndexList()[1]);
    expectFacesAgreeWithNormals(*quad);
}

TEST(MeshBinder, gluesPartsWithOffsetIndices) {
    KxDMeshBinder binder;
    EXPECT_EQ(0, binder.getMeshCount());

    std::unique_ptr<KxDMeshData> quad(makeQuad(true, 0.25f));
    std::unique_ptr<KxDMeshData> triangle(makeTriangle());
    binder.addMeshData(quad.get());
    binder.addMeshData(triangle.get());
    EXPECT_EQ(1, binder.getMeshCount());

    std::unique_ptr<KxDMeshData> glued(binder.getMeshData(0, false));
    ASSERT_EQ(7, glued->getVertexCount());
    ASSERT_EQ(3, glued->getFaceCount());
    EXPECT_FALSE(glued->hasLightMap());
    const uint16_t expected[9] = {0, 1, 2, 0, 2, 3, 6, 4, 5};
    for (int i = 0; i < 9; i++) EXPECT_EQ(expected[i], glued->getIndexList()[i]) << i;
    EXPECT_EQ(1.25f, glued->getVertexList()[1].texture.x);
    EXPECT_EQ(12.0f, glued->getVertexList()[6].position.x);
    EXPECT_EQ(1.0f, glued->getVertexList()[4].normal.y);
    // The parts are left as they were.
    EXPECT_EQ(2, triangle->getIndexList()[0]);

    // Light-map co-ordinates: copied where a part has them, zeros where it has none.
    std::unique_ptr<KxDMeshData> withLightMap(binder.getMeshData(7, true));
    ASSERT_TRUE(withLightMap->hasLightMap());
    EXPECT_EQ(0.5f, withLightMap->getLightMapList()[1].x);
    EXPECT_EQ(3.25f, withLightMap->getLightMapList()[3].y);
    EXPECT_EQ(0.0f, withLightMap->getLightMapList()[5].x);
    EXPECT_EQ(0.0f, withLightMap->getLightMapList()[5].y);
}

TEST(MeshBinder, refusesMoreVerticesThanSixteenBitIndicesReach) {
    KxDMeshData big, bigger, one;
    big.allocate(40000, 1, false);
    bigger.allocate(25536, 1, false);
    one.allocate(1, 1, false);
    KxDMeshBinder binder;
    binder.addMeshData(&big);
    binder.addMeshData(&bigger);
    std::unique_ptr<KxDMeshData> exact(binder.getMeshData(0, true));
    EXPECT_EQ(65536, exact->getVertexCount());
    EXPECT_EQ(40000, exact->getIndexList()[3]);

    binder.addMeshData(&one);
    try {
        std::unique_ptr<KxDMeshData> tooMany(binder.getMeshData(0, false));
        FAIL() << "glued 65537 vertices";
    } catch (const IOException &e) {
        EXPECT_STREQ("Glued mesh would exceed 65536 vertices", e.getErrorString());
    }
}

TEST(MeshObject, forwardsToItsPrimitiveWithoutApplyingItsTransforms) {
    std::unique_ptr<KxDMeshData> quad(makeQuad(false));
    KxDMeshBinder binder;
    binder.addMeshData(quad.get());
    {
        KxDMeshObject object(&binder);
        object.getTransformList()->addTranslation(100, 0, 0);
        EXPECT_EQ(&binder, object.getPrimitive());
        EXPECT_EQ(1, object.getMeshCount());
        std::unique_ptr<KxDMeshData> data(object.getMeshData(0, false));
        EXPECT_EQ(1.0f, data->getVertexList()[1].position.x);
    }
    // The object is gone; the primitive it borrowed still works.
    EXPECT_EQ(1, binder.getMeshCount());
}
