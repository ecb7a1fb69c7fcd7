// What group references and whole-prop settings change in the written file: transforms and
// the normals and windings under them, clipping, merged materials and textures.

#include "RebuiltPropTestSupport.h"

#include "KxRlMeshGroupRef.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

_KxDVector3D position(const KxRlMesh *mesh, int index) {
    return mesh->getVertexList()[mesh->getIndexList()[index]].position;
}

// Unit normal of triangle t by its winding: (B - A) x (C - A).
_KxDVector3D faceNormal(const KxRlMesh *mesh, int t) {
    _KxDVector3D a = position(mesh, 3 * t), b = position(mesh, 3 * t + 1), c = position(mesh, 3 * t + 2);
    _KxDVector3D ab, ac, n;
    kxdVecSub(&ab, &b, &a);
    kxdVecSub(&ac, &c, &a);
    kxdVecCross(&n, &ab, &ac);
    kxdVecNormalize(&n);
    return n;
}

// Every vertex normal of every triangle points the way its face does.
void expectNormalsFollowFaces(const KxRlMesh *mesh) {
    for (int t = 0; t < mesh->getIndexCount() / 3; t++) {
        _KxDVector3D face = faceNormal(mesh, t);
        for (int k = 0; k < 3; k++) {
            const _KxDVector3D &normal = mesh->getVertexList()[mesh->getIndexList()[3 * t + k]].normal;
            EXPECT_GT(kxdVecDot(&face, &normal), 0.999f) << "triangle " << t << " corner " << k;
        }
    }
}

// A triangle in the plane x + y = 1 facing (1, 1, 0), wound to face that way.
MshMesh slantedTriangle() {
    const float n = 1.0f / std::sqrt(2.0f);
    return plainMesh({{1, 0, 0, n, n, 0, 0, 0}, {0, 1, 0, n, n, 0, 1, 0}, {1, 0, 1, n, n, 0, 0, 1}}, {0, 1, 2});
}

}  // namespace

TEST(RebuiltPropChanges, nonUniformScalingKeepsNormalsOnTheirFaces) {
    WriterFiles files;
    KxRlMeshFile *source = files.load(oneGroupFile({slantedTriangle()}));
    expectNormalsFollowFaces(source->getMesh(0, 0));
    KxRlMeshGroupRef *ref = new KxRlMeshGroupRef(source, 0);
    ref->addScaling(1.0f, 4.0f, 1.0f);
    KxRlRebuiltProp prop;
    prop.addMeshGroupRef(ref);
    std::unique_ptr<KxRlMeshFile> out = files.exportAndRead(prop);
    expectNormalsFollowFaces(out->getMesh(0, 0));
    EXPECT_NEAR(4.0f, out->getMesh(0, 0)->getMaxY(), 1e-6f);
}

TEST(RebuiltPropChanges, mirrorKeepsFacesFacingOut) {
    WriterFiles files;
    KxRlMeshFile *source = files.load(oneGroupFile({slantedTriangle()}));
    KxRlMeshGroupRef *ref = new KxRlMeshGroupRef(source, 0);
    ref->addScaling(-1.0f, 1.0f, 1.0f);
    ref->addRotation(KXD_AXIS_Z, 0.3f);
    KxRlRebuiltProp prop;
    prop.addMeshGroupRef(ref);
    std::unique_ptr<KxRlMeshFile> out = files.exportAndRead(prop);
    const KxRlMesh *mesh = out->getMesh(0, 0);
    expectNormalsFollowFaces(mesh);
    // Corners b and c changed places.
    EXPECT_EQ(0, mesh->getIndexList()[0]);
    EXPECT_EQ(2, mesh->getIndexList()[1]);
    EXPECT_EQ(1, mesh->getIndexList()[2]);
}

TEST(RebuiltPropChanges, meshTransformsReplaceTheGroupsAndTheSourceStaysUnchanged) {
    WriterFiles files;
    KxRlMeshFile *source =
        files.load(oneGroupFile({plainMesh(flatTriangle(0), {0, 1, 2}), plainMesh(flatTriangle(0), {0, 1, 2})}));
    KxRlMeshGroupRef *ref = new KxRlMeshGroupRef(source, 0);
    ref->addTranslation(10.0f, 0.0f, 0.0f);
    ref->addTranslation(1, 0.0f, 5.0f, 0.0f);
    KxRlRebuiltProp prop;
    prop.addMeshGroupRef(ref);
    std::unique_ptr<KxRlMeshFile> out = files.exportAndRead(prop);
    EXPECT_EQ(10.0f, out->getMesh(0, 0)->getMinX());
    EXPECT_EQ(0.0f, out->getMesh(0, 0)->getMinY());
    EXPECT_EQ(0.0f, out->getMesh(0, 1)->getMinX());
    EXPECT_EQ(5.0f, out->getMesh(0, 1)->getMinY());
    EXPECT_EQ(0.0f, source->getMesh(0, 0)->getVertexList()[0].position.x);
}

TEST(RebuiltPropChanges, clippingKeepsTheUnionOfRegionsInSourceCoordinates) {
    WriterFiles files;
    // Three triangles at x = 0, 2 and 4, and a fourth with a corner on each of them.
    std::vector<PlainVertex> vertices;
    for (float x : {0.0f, 2.0f, 4.0f}) {
        for (const PlainVertex &v : flatTriangle(x)) vertices.push_back(v);
    }
    MshMesh mesh = plainMesh(vertices, {0, 1, 2, 3, 4, 5, 6, 7, 8, 1, 4, 8});
    KxRlMeshFile *source = files.load(oneGroupFile({mesh}));

    KxRlMeshGroupRef *ref = new KxRlMeshGroupRef(source, 0);
    ref->addClipRegion(-0.5f, 1.5f, -1.0f, 2.0f, -1.0f, 1.0f);    // the group's: first triangle
    ref->addClipRegion(0, 3.5f, 5.5f, -1.0f, 2.0f, -1.0f, 1.0f);  // the mesh's: last triangle
    ref->addTranslation(100.0f, 0.0f, 0.0f);                      // regions are tested before it
    KxRlRebuiltProp prop;
    prop.addMeshGroupRef(ref);
    std::unique_ptr<KxRlMeshFile> out = files.exportAndRead(prop);

    const KxRlMesh *clipped = out->getMesh(0, 0);
    ASSERT_EQ(6, clipped->getVertexCount());
    const uint16_t expected[] = {0, 1, 2, 3, 4, 5};  // the spanning triangle lost a corner
    ASSERT_EQ(6, clipped->getIndexCount());
    for (int i = 0; i < 6; i++) EXPECT_EQ(expected[i], clipped->getIndexList()[i]);
    EXPECT_NEAR(100.0f, clipped->getMinX(), 1e-4f);
    EXPECT_NEAR(105.0f, clipped->getMaxX(), 1e-4f);
    EXPECT_NEAR(104.0f, clipped->getVertexList()[3].position.x, 1e-3f);
}

TEST(RebuiltPropChanges, fullyClippedMeshIsWrittenEmpty) {
    WriterFiles files;
    KxRlMeshFile *source =
        files.load(oneGroupFile({plainMesh(flatTriangle(0), {0, 1, 2}), plainMesh(flatTriangle(3), {0, 1, 2})}));
    KxRlMeshGroupRef *ref = new KxRlMeshGroupRef(source, 0);
    ref->addClipRegion(0, 50.0f, 60.0f, 50.0f, 60.0f, 50.0f, 60.0f);
    KxRlRebuiltProp prop;
    prop.addMeshGroupRef(ref);
    std::unique_ptr<KxRlMeshFile> out = files.exportAndRead(prop);
    ASSERT_EQ(2, out->getMeshCount(0));
    const KxRlMesh *empty = out->getMesh(0, 0);
    EXPECT_EQ(0, empty->getVertexCount());
    EXPECT_EQ(0, empty->getIndexCount());
    EXPECT_EQ(-3.0e37f, empty->getMinX());
    EXPECT_EQ(3.0e37f, empty->getMaxZ());
    EXPECT_EQ(3, out->getMesh(0, 1)->getVertexCount());
}

TEST(RebuiltPropChanges, inactiveMeshesAreLeftOutWithTheirTextures) {
    WriterFiles files;
    MshDescription d =
        oneGroupFile({plainMesh(flatTriangle(0), {0, 1, 2}, 0), plainMesh(flatTriangle(3), {0, 1, 2}, 1)});
    d.bitmaps.push_back("other.dds");
    d.materials.push_back(mshMaterial(1));
    KxRlMeshFile *source = files.load(d);
    KxRlMeshGroupRef *ref = new KxRlMeshGroupRef(source, 0);
    ref->activateMesh(0, false);
    ref->setGroupName("renamed");
    KxRlRebuiltProp prop;
    prop.addMeshGroupRef(ref);
    std::unique_ptr<KxRlMeshFile> out = files.exportAndRead(prop);
    ASSERT_EQ(1, out->getMeshCount(0));
    EXPECT_EQ(3.0f, out->getMesh(0, 0)->getMinX());
    ASSERT_EQ(1, out->getBitmapCount());
    EXPECT_STREQ("other.dds", out->getBitmap(0)->getFilename());
    EXPECT_EQ(1, out->getMaterialCount());
    EXPECT_STREQ("renamed", out->getMeshGroup(0)->getName());
}

TEST(RebuiltPropChanges, materialsThatResolveAlikeMerge) {
    WriterFiles files;
    // Two bitmap entries of the same name: materials 0 and 1 differ only in their index bytes.
    // Material 2 differs in a setting, material 3 only in the bit that is cleared on output.
    MshDescription d;
    d.bitmaps = {"same.dds", "same.dds"};
    d.materials = {mshMaterial(0), mshMaterial(1), mshMaterial(1), mshMaterial(0)};
    d.materials[2][7] = 1;
    d.materials[3][14] |= 0x02;
    MshGroup group;
    for (int m = 0; m < 4; m++) group.meshes.push_back(plainMesh(flatTriangle(static_cast<float>(m)), {0, 1, 2}, m));
    d.groups = {group};
    KxRlMeshFile *source = files.load(d);

    KxRlRebuiltProp prop;
    prop.addMeshGroupRef(new KxRlMeshGroupRef(source, 0));
    std::unique_ptr<KxRlMeshFile> out = files.exportAndRead(prop);
    ASSERT_EQ(1, out->getBitmapCount());
    ASSERT_EQ(2, out->getMaterialCount());
    EXPECT_EQ(0, out->getMesh(0, 0)->getMaterialIndex());
    EXPECT_EQ(0, out->getMesh(0, 1)->getMaterialIndex());
    EXPECT_EQ(1, out->getMesh(0, 2)->getMaterialIndex());
    EXPECT_EQ(0, out->getMesh(0, 3)->getMaterialIndex());
}

TEST(RebuiltPropChanges, switchedOffAndReplacedTextures) {
    WriterFiles files;
    MshDescription d =
        oneGroupFile({plainMesh(flatTriangle(0), {0, 1, 2}, 0), plainMesh(flatTriangle(3), {0, 1, 2}, 1)});
    d.bitmaps = {"a.dds", "b.dds", "shine.dds"};
    d.materials = {mshMaterial(0, 2), mshMaterial(1, 2)};
    KxRlMeshFile *source = files.load(d);

    KxRlRebuiltProp prop;
    prop.addMeshGroupRef(new KxRlMeshGroupRef(source, 0));
    prop.replaceBitmap("shine.dds", KxRlNoBitmap);
    prop.replaceBitmap("a.dds", "c.dds");
    prop.replaceBitmap("b.dds", "c.dds");
    std::unique_ptr<KxRlMeshFile> out = files.exportAndRead(prop);

    // The switched-off texture is not written; the two names mapped alike stay two entries.
    ASSERT_EQ(2, out->getBitmapCount());
    EXPECT_STREQ("c.dds", out->getBitmap(0)->getFilename());
    EXPECT_STREQ("c.dds", out->getBitmap(1)->getFilename());
    ASSERT_EQ(2, out->getMaterialCount());
    for (int m = 0; m < 2; m++) {
        EXPECT_EQ(m, out->getMaterial(m)->getRawData()[0]);
        EXPECT_EQ(0xFF, out->getMaterial(m)->getRawData()[1]);
        EXPECT_EQ(nullptr, out->getMaterial(m)->getBitmap(1));
    }

    // A mesh override switches a slot off for that mesh alone.
    KxRlMeshGroupRef *ref = new KxRlMeshGroupRef(source, 0);
    ref->setBitmap(1, 0, KxRlNoBitmap);
    KxRlRebuiltProp overridden;
    overridden.addMeshGroupRef(ref);
    out = files.exportAndRead(overridden, "overridden.msh");
    ASSERT_EQ(2, out->getBitmapCount());
    EXPECT_STREQ("a.dds", out->getBitmap(0)->getFilename());
    EXPECT_STREQ("shine.dds", out->getBitmap(1)->getFilename());
    EXPECT_EQ(0xFF, out->getMesh(0, 1)->getMaterial()->getRawData()[0]);
    EXPECT_EQ(1, out->getMesh(0, 1)->getMaterial()->getRawData()[1]);
}
