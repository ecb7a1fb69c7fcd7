// The writer's files read back through the reader: unchanged props, the file header, idents,
// flat axes, extreme normals, texture translation, light-map co-ordinates, bones and skeletons.

#include "RebuiltPropTestSupport.h"

#include "KxDMatTransform.h"
#include "KxRlMeshGroupRef.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

// A two-group source: group 0 ("chair") with a quad in material 0 and a light-mapped
// triangle in material 1, group 1 ("legs", written without the hidden pair) with a triangle.
MshDescription chairFile() {
    MshDescription d;
    d.bitmaps = {"wood.dds", "lm.dds", "unused.dds"};
    d.materials = {mshMaterial(0), mshMaterial(0, 0xFF, 1)};
    d.materials[1][14] = 0x06;  // bit 0x02 is cleared on output
    d.materials[1][16] = 10;    // a different diffuse colour

    MshMesh quad = plainMesh({{0, 0, 0, 0, 0, 1, 0, 0},
                              {2, 0, 0, 0, 0, 1, 1, 0},
                              {2, 3, 0.5f, 0, 0.6f, 0.8f, 1, 1},
                              {0, 3, 0.5f, 0, 0.6f, 0.8f, 0, 1}},
                             {0, 1, 2, 0, 2, 3}, 0);
    MshMesh lit =
        plainMesh({{-1, -1, 1, 1, 0, 0, 0.25f, 0.5f}, {1, -1, 1, 1, 0, 0, 0.75f, 0.5f}, {0, 1, 2, 1, 0, 0, 0.5f, 1}},
                  {0, 1, 2}, 1);
    lit.flags[1] = KXRL_MESHFLAG1_LIGHTMAP;
    lit.lightMap = {{{0, 0}}, {{65535, 0}}, {{32768, 65535}}};

    MshGroup chair;
    chair.name = "chair";
    chair.meshes = {quad, lit};
    MshGroup legs;
    legs.name = "legs";
    legs.flags = {{0x01, 0x04}};
    legs.meshes = {plainMesh(flatTriangle(5, -2), {0, 1, 2}, 0)};
    d.groups = {chair, legs};
    d.flags[1] = 1;
    return d;
}

void expectSameGeometry(const KxRlMesh *source, const KxRlMesh *written) {
    ASSERT_EQ(source->getIndexCount(), written->getIndexCount());
    for (int i = 0; i < source->getIndexCount(); i++) EXPECT_EQ(source->getIndexList()[i], written->getIndexList()[i]);
    ASSERT_EQ(source->getVertexCount(), written->getVertexCount());
    const KxDClipRegion3D *bounds = written->getPosBounds();
    const float steps[3] = {bounds->getStepX(), bounds->getStepY(), bounds->getStepZ()};
    for (int v = 0; v < source->getVertexCount(); v++) {
        const _KxDTexVertex &a = source->getVertexList()[v];
        const _KxDTexVertex &b = written->getVertexList()[v];
        const float pa[3] = {a.position.x, a.position.y, a.position.z};
        const float pb[3] = {b.position.x, b.position.y, b.position.z};
        for (int k = 0; k < 3; k++) EXPECT_NEAR(pa[k], pb[k], steps[k] * 1.01f + 1e-6f) << "vertex " << v;
        EXPECT_NEAR(a.normal.x, b.normal.x, 3.0f / 65535);
        EXPECT_NEAR(a.normal.y, b.normal.y, 3.0f / 65535);
        EXPECT_NEAR(a.normal.z, b.normal.z, 3.0f / 65535);
        EXPECT_NEAR(a.texture.x, b.texture.x, written->getTexBounds()->getStepX() * 1.01f + 1e-6f);
        EXPECT_NEAR(a.texture.y, b.texture.y, written->getTexBounds()->getStepY() * 1.01f + 1e-6f);
    }
}

// Both 16-bit halves of a fresh ident come from a 0..32767 draw.
bool isFreshIdent(int32_t ident) { return (static_cast<uint32_t>(ident) & 0x80008000U) == 0; }

}  // namespace

TEST(RebuiltPropRoundTrip, unchangedPropReproducesGroupsMeshesAndMaterials) {
    WriterFiles files;
    KxRlMeshFile *source = files.load(chairFile());
    KxRlRebuiltProp prop;
    prop.addMeshGroupRef(new KxRlMeshGroupRef(source, 0));
    prop.addMeshGroupRef(new KxRlMeshGroupRef(source, 1));
    std::unique_ptr<KxRlMeshFile> out = files.exportAndRead(prop);

    EXPECT_EQ(10, out->getMagicNumber());
    const uint8_t flags[8] = {0, 0, 0, 0, 0, 0, 0xC2, 1};
    for (int i = 0; i < 8; i++) EXPECT_EQ(flags[i], out->getMeshFlag(i)) << "flag " << i;
    EXPECT_EQ(0, out->getSubMeshCount());
    EXPECT_EQ(0, out->getRoomCount());
    EXPECT_EQ(0, out->getPosMatrixCount());
    EXPECT_EQ(nullptr, out->getSkeleton());

    // Only the textures in use, in first-use order; both materials kept apart.
    ASSERT_EQ(2, out->getBitmapCount());
    EXPECT_STREQ("wood.dds", out->getBitmap(0)->getFilename());
    EXPECT_STREQ("lm.dds", out->getBitmap(1)->getFilename());
    ASSERT_EQ(2, out->getMaterialCount());
    EXPECT_TRUE(out->getMaterial(0)->equals(source->getMaterial(0)));
    // Material 1 as read, but for bit 0x02 of settings byte 14.
    EXPECT_EQ(0x04, out->getMaterial(1)->getRawData()[14]);
    out->getMaterial(1)->getRawData()[14] = 0x06;
    EXPECT_TRUE(out->getMaterial(1)->equals(source->getMaterial(1)));

    ASSERT_EQ(2, out->getMeshGroupCount());
    EXPECT_STREQ("chair", out->getMeshGroup(0)->getName());
    EXPECT_STREQ("legs", out->getMeshGroup(1)->getName());
    // The hidden pair is always written, so the flag announces it whatever the source had.
    EXPECT_EQ(0x10, out->getMeshGroup(0)->getGroupFlag(1));
    EXPECT_EQ(0x01, out->getMeshGroup(1)->getGroupFlag(0));
    EXPECT_EQ(0x10, out->getMeshGroup(1)->getGroupFlag(1));

    for (int g = 0; g < 2; g++) {
        ASSERT_EQ(source->getMeshCount(g), out->getMeshCount(g));
        for (int m = 0; m < source->getMeshCount(g); m++) {
            SCOPED_TRACE("group " + std::to_string(g) + " mesh " + std::to_string(m));
            const KxRlMesh *written = out->getMesh(g, m);
            expectSameGeometry(source->getMesh(g, m), written);
            EXPECT_TRUE(written->getMaterial()->equals(source->getMesh(g, m)->getMaterial()));
            EXPECT_EQ(0x70, written->getMeshFlag(0));
            EXPECT_TRUE(isFreshIdent(written->getIndexIdent()));
            EXPECT_EQ(-1, written->getVertexIdent());
            EXPECT_EQ(0, written->getBoneIdent());
            EXPECT_EQ(0, written->getJointCount());
        }
    }

    // The light-mapped mesh keeps its light-map co-ordinates; the others have none.
    const KxRlMesh *lit = out->getMesh(0, 1);
    EXPECT_EQ(KXRL_MESHFLAG1_LIGHTMAP, lit->getMeshFlag(1));
    ASSERT_NE(nullptr, lit->getLightMapList());
    for (int v = 0; v < 3; v++) {
        EXPECT_NEAR(source->getMesh(0, 1)->getLightMapList()[v].x, lit->getLightMapList()[v].x, 1.5f / 65535);
        EXPECT_NEAR(source->getMesh(0, 1)->getLightMapList()[v].y, lit->getLightMapList()[v].y, 1.5f / 65535);
    }
    EXPECT_EQ(0, out->getMesh(0, 0)->getMeshFlag(1));
}

TEST(RebuiltPropRoundTrip, propCanBeExportedAgainWithTheSameContent) {
    WriterFiles files;
    KxRlMeshFile *source = files.load(chairFile());
    KxRlRebuiltProp prop;
    prop.addMeshGroupRef(new KxRlMeshGroupRef(source, 0));
    std::unique_ptr<KxRlMeshFile> first = files.exportAndRead(prop, "first.msh");
    EXPECT_EQ(0, prop.getExportBitmapCount());
    EXPECT_EQ(0, prop.getExportMaterialCount());
    std::unique_ptr<KxRlMeshFile> second = files.exportAndRead(prop, "second.msh");
    EXPECT_EQ(first->getBitmapCount(), second->getBitmapCount());
    EXPECT_EQ(first->getMaterialCount(), second->getMaterialCount());
    EXPECT_EQ(first->getMeshCount(0), second->getMeshCount(0));
    EXPECT_EQ(first->getMesh(0, 1)->getMaterial()->getBitmap(2)->getFilename(),
              std::string(second->getMesh(0, 1)->getMaterial()->getBitmap(2)->getFilename()));
}

TEST(RebuiltPropRoundTrip, flatAxesAndExtremeNormalsReadBackExactly) {
    WriterFiles files;
    // Every vertex at z = 2.5; normals at -1 and +1 on each axis.
    KxRlMeshFile *source = files.load(oneGroupFile({plainMesh({{0, 0, 2.5f, -1, 0, 0, 0, 0},
                                                               {1, 0, 2.5f, 0, 1, 0, 1, 0},
                                                               {0, 1, 2.5f, 0, 0, -1, 0, 1},
                                                               {1, 1, 2.5f, 1, -1, 1, 1, 1}},
                                                              {0, 1, 2, 1, 3, 2})}));
    KxRlRebuiltProp prop;
    prop.addMeshGroupRef(new KxRlMeshGroupRef(source, 0));
    std::unique_ptr<KxRlMeshFile> out = files.exportAndRead(prop);
    const KxRlMesh *mesh = out->getMesh(0, 0);
    EXPECT_EQ(2.5f, mesh->getMinZ());
    EXPECT_EQ(2.5f, mesh->getMaxZ());
    for (int v = 0; v < 4; v++) EXPECT_EQ(2.5f, mesh->getVertexList()[v].position.z);
    EXPECT_EQ(-1.0f, mesh->getVertexList()[0].normal.x);
    EXPECT_EQ(1.0f, mesh->getVertexList()[1].normal.y);
    EXPECT_EQ(-1.0f, mesh->getVertexList()[2].normal.z);
    EXPECT_EQ(1.0f, mesh->getVertexList()[3].normal.x);
    EXPECT_EQ(-1.0f, mesh->getVertexList()[3].normal.y);
    EXPECT_EQ(1.0f, mesh->getVertexList()[3].normal.z);
}

// Read and written again, every one of the 65,536 normal codes stays itself.
TEST(RebuiltPropRoundTrip, everyNormalCodeWritesBackAsItself) {
    MshMesh mesh;
    mesh.posBounds = {{0, 0, 0, 1, 1, 1}};
    for (uint32_t code = 0; code < 65536; code++) {
        uint16_t n = static_cast<uint16_t>(code);
        mesh.vertices.push_back({{0, 0, 0}, {n, static_cast<uint16_t>(65535 - code), static_cast<uint16_t>(code * 40503u)}, {0, 0}});
    }
    WriterFiles files;
    KxRlMeshFile *source = files.load(oneGroupFile({mesh}));
    KxRlRebuiltProp prop;
    prop.addMeshGroupRef(new KxRlMeshGroupRef(source, 0));
    std::unique_ptr<KxRlMeshFile> out = files.exportAndRead(prop);
    const _KxDTexVertex *before = source->getMesh(0, 0)->getVertexList();
    const _KxDTexVertex *after = out->getMesh(0, 0)->getVertexList();
    ASSERT_EQ(65536, out->getMesh(0, 0)->getVertexCount());
    int moved = 0;
    for (int v = 0; v < 65536; v++) {
        bool same = before[v].normal.x == after[v].normal.x && before[v].normal.y == after[v].normal.y &&
                    before[v].normal.z == after[v].normal.z;
        if (!same && moved++ == 0) ADD_FAILURE() << "the normal of code " << v << " moved";
    }
    EXPECT_EQ(0, moved);
}

TEST(RebuiltPropRoundTrip, textureTranslationMovesTheBoundsNotTheCodes) {
    WriterFiles files;
    KxRlMeshFile *source =
        files.load(oneGroupFile({plainMesh(flatTriangle(0), {0, 1, 2}), plainMesh(flatTriangle(3), {0, 1, 2})}));
    KxRlMeshGroupRef *ref = new KxRlMeshGroupRef(source, 0);
    ref->setTexTranslation(0, 0.5f, 0.0f);  // mesh 0 only
    KxRlRebuiltProp prop;
    prop.addMeshGroupRef(ref);
    std::unique_ptr<KxRlMeshFile> out = files.exportAndRead(prop);

    const KxRlMesh *moved = out->getMesh(0, 0);
    EXPECT_EQ(0.5f, moved->getMinTx());
    EXPECT_EQ(1.5f, moved->getMaxTx());
    EXPECT_EQ(0.0f, moved->getMinTy());
    EXPECT_EQ(1.0f, moved->getMaxTy());
    for (int v = 0; v < 3; v++) {
        const _KxDVector2D &before = source->getMesh(0, 0)->getVertexList()[v].texture;
        const _KxDVector2D &after = moved->getVertexList()[v].texture;
        EXPECT_FLOAT_EQ(before.x + 0.5f, after.x);
        EXPECT_FLOAT_EQ(before.y, after.y);
    }
    EXPECT_EQ(0.0f, out->getMesh(0, 1)->getMinTx());
    EXPECT_EQ(1.0f, out->getMesh(0, 1)->getMaxTx());
}

TEST(RebuiltPropRoundTrip, lightMapFallsBackToTextureCoordinatesAndFollowsTheWrittenSlot) {
    WriterFiles files;
    MshDescription d = oneGroupFile(
        {plainMesh({{0, 0, 0, 0, 0, 1, 0.25f, 0.75f}, {1, 0, 0, 0, 0, 1, 1, 0}, {0, 1, 0, 0, 0, 1, 0, 1}}, {0, 1, 2})});
    d.bitmaps.push_back("lm.dds");
    d.materials[0] = mshMaterial(0, 0xFF, 1);
    KxRlMeshFile *source = files.load(d);

    // A light-map texture but no light-map co-ordinates: the texture co-ordinates stand in.
    KxRlRebuiltProp lit;
    lit.addMeshGroupRef(new KxRlMeshGroupRef(source, 0));
    std::unique_ptr<KxRlMeshFile> out = files.exportAndRead(lit, "lit.msh");
    const KxRlMesh *mesh = out->getMesh(0, 0);
    ASSERT_NE(nullptr, mesh->getLightMapList());
    EXPECT_NEAR(0.25f, mesh->getLightMapList()[0].x, 1.0f / 65535);
    EXPECT_NEAR(0.75f, mesh->getLightMapList()[0].y, 1.0f / 65535);

    // The light-map texture switched off for the prop: no light-map list, slot 2 empty.
    KxRlRebuiltProp unlit;
    unlit.addMeshGroupRef(new KxRlMeshGroupRef(source, 0));
    unlit.replaceBitmap("lm.dds", KxRlNoBitmap);
    out = files.exportAndRead(unlit, "unlit.msh");
    EXPECT_EQ(0, out->getMesh(0, 0)->getMeshFlag(1));
    EXPECT_EQ(nullptr, out->getMesh(0, 0)->getLightMapList());
    EXPECT_EQ(nullptr, out->getMaterial(0)->getBitmap(2));
}

TEST(RebuiltPropRoundTrip, bonesAndSkeletonAreWrittenWithTheirTransform) {
    WriterFiles files;
    MshDescription d = oneGroupFile({plainMesh(flatTriangle(0), {0, 1, 2})});
    MshMesh &mesh = d.groups[0].meshes[0];
    mesh.flags = {{0x71, 0, 0x2A, 0}};
    for (int v = 0; v < 3; v++)
        mesh.bones.push_back(MshBoneData{{1.0f, 0.5f * v, 0, 0}, {static_cast<uint8_t>(v), 1, 2, 3}});
    d.flags[0] = 1;
    d.skeletonIdent = -1;  // no fresh ident can look like this: both halves are 0..32767
    d.bones = {MshBone{"root", -1, mshIdentity()}, MshBone{"arm", 0, mshIdentity()}};
    d.bones[1].matrix[9] = 4.0f;  // translation x
    KxRlMeshFile *source = files.load(d);

    // Without a skeleton the bone data is left out.
    KxRlRebuiltProp plain;
    plain.addMeshGroupRef(new KxRlMeshGroupRef(source, 0));
    std::unique_ptr<KxRlMeshFile> out = files.exportAndRead(plain, "plain.msh");
    EXPECT_EQ(0x70, out->getMesh(0, 0)->getMeshFlag(0));
    EXPECT_EQ(0, out->getMesh(0, 0)->getMeshFlag(2));
    EXPECT_EQ(nullptr, out->getMesh(0, 0)->getBoneList());
    EXPECT_EQ(nullptr, out->getSkeleton());

    // With the skeleton as it is: ident kept, bones and bone data as read.
    KxRlRebuiltProp kept;
    kept.addMeshGroupRef(new KxRlMeshGroupRef(source, 0));
    kept.setSkeleton(source->getSkeleton(), nullptr);
    out = files.exportAndRead(kept, "kept.msh");
    EXPECT_EQ(1, out->getMeshFlag(0));
    ASSERT_NE(nullptr, out->getSkeleton());
    EXPECT_EQ(-1, out->getSkeleton()->getSkeletonIdent());
    ASSERT_EQ(2, out->getSkeleton()->getBoneCount());
    EXPECT_STREQ("arm", out->getSkeleton()->getBone(1)->getBoneName());
    EXPECT_EQ(0, out->getSkeleton()->getBone(1)->getParentIndex());
    EXPECT_EQ(4.0f, out->getSkeleton()->getBone(1)->getMatrix()->getValue(3, 0));
    const KxRlMesh *boned = out->getMesh(0, 0);
    EXPECT_EQ(0x71, boned->getMeshFlag(0));
    EXPECT_EQ(0x2A, boned->getMeshFlag(2));
    EXPECT_TRUE(isFreshIdent(boned->getBoneIdent()));
    ASSERT_NE(nullptr, boned->getBoneList());
    EXPECT_EQ(0, std::memcmp(source->getMesh(0, 0)->getBoneList(), boned->getBoneList(), 3 * sizeof(_KxRlBoneData)));

    // With a transform: every bone moved, and the skeleton gets a fresh ident.
    KxDMatTranslate shift(1.0f, 2.0f, 3.0f);
    KxRlRebuiltProp moved;
    moved.addMeshGroupRef(new KxRlMeshGroupRef(source, 0));
    moved.setSkeleton(source->getSkeleton(), &shift);
    out = files.exportAndRead(moved, "moved.msh");
    EXPECT_TRUE(isFreshIdent(out->getSkeleton()->getSkeletonIdent()));
    EXPECT_EQ(1.0f, out->getSkeleton()->getBone(0)->getMatrix()->getValue(3, 0));
    EXPECT_EQ(5.0f, out->getSkeleton()->getBone(1)->getMatrix()->getValue(3, 0));
    EXPECT_EQ(3.0f, out->getSkeleton()->getBone(1)->getMatrix()->getValue(3, 2));
}
