// Group references: bitmap resolution, clip tests, transforms and texture translation.

#include "KxDMeshData.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroup.h"
#include "KxRlMeshGroupRef.h"
#include "MeshTestFiles.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A group of two meshes: mesh 0 uses a material with base and light-map textures, mesh 1
// one with a base texture only.
class GroupRefTest : public ::testing::Test {
protected:
    GroupRefTest()
        : wood("wood.dds"), lightMap("lm.dds"), metal("metal.dds"), first(&wood, nullptr, &lightMap, nullptr),
          second(&metal) {
        for (KxDMeshData &d : data) {
            d.allocate(3, 1, false);
            for (int i = 0; i < 3; i++) d.getIndexList()[i] = static_cast<uint16_t>(i);
        }
        KxRlMeshMaterial *materials[2] = {&first, &second};
        KxDMeshData *list[2] = {&data[0], &data[1]};
        group.reset(KxRlMeshGroup::CreateFromData(2, materials, list));
        ref.reset(new KxRlMeshGroupRef(group.get()));
    }

    KxRlMeshBitmap wood, lightMap, metal;
    KxRlMeshMaterial first, second;
    KxDMeshData data[2];
    std::unique_ptr<KxRlMeshGroup> group;
    std::unique_ptr<KxRlMeshGroupRef> ref;
};

TEST_F(GroupRefTest, newReferenceChangesNothing) {
    EXPECT_EQ(group.get(), ref->getMeshGroup());
    EXPECT_EQ(2, ref->getMeshCount());
    EXPECT_STREQ("Data", ref->getGroupName());
    EXPECT_TRUE(ref->getMeshActive(0));
    EXPECT_TRUE(ref->getMeshActive(1));
    EXPECT_STREQ("wood.dds", ref->getBitmap(0, 0));
    EXPECT_EQ(nullptr, ref->getBitmap(0, 1));
    EXPECT_EQ(0, ref->getClipCount());
    EXPECT_FALSE(ref->needsClipping(1));
    EXPECT_FALSE(ref->needsTransform(1));
    EXPECT_EQ(0.0f, ref->getTexTranslateX(1));
}

TEST_F(GroupRefTest, groupNameAndActiveMeshes) {
    char name[] = "p_chair";
    ref->setGroupName(name);
    std::strcpy(name, "changed");  // the reference keeps its own copy
    EXPECT_STREQ("p_chair", ref->getGroupName());
    ref->setGroupName(nullptr);
    EXPECT_STREQ("Data", ref->getGroupName());

    ref->activateAllMeshes(false);
    ref->activateMesh(1, true);
    EXPECT_FALSE(ref->getMeshActive(0));
    EXPECT_TRUE(ref->getMeshActive(1));
}

TEST_F(GroupRefTest, bitmapResolutionOrder) {
    ref->replaceBitmap("wood.dds", "oak.dds");
    ref->replaceBitmap("wood.dds", "pine.dds");  // the first pair added wins
    ref->replaceBitmap("METAL.DDS", "gold.dds");  // names compare case-sensitively
    EXPECT_STREQ("oak.dds", ref->getBitmap(0, 0));
    EXPECT_STREQ("metal.dds", ref->getBitmap(1, 0));
    EXPECT_STREQ("lm.dds", ref->getBitmap(0, 2));
    EXPECT_EQ(nullptr, ref->getBitmap(1, 2));  // an empty material slot stays empty

    // A mesh override wins over every group replacement, the off marker included.
    char override[] = "birch.dds";
    ref->setBitmap(0, 0, override);
    std::strcpy(override, "xxxxx.dds");
    EXPECT_STREQ("birch.dds", ref->getBitmap(0, 0));
    ref->setBitmap(0, 0, KxRlNoBitmap);
    EXPECT_EQ(KxRlNoBitmap, ref->getBitmap(0, 0));
    ref->setBitmap(1, 2, "lm2.dds");  // an override may fill an empty slot
    EXPECT_STREQ("lm2.dds", ref->getBitmap(1, 2));
    ref->setBitmap(0, 0, nullptr);  // null removes the override
    EXPECT_STREQ("oak.dds", ref->getBitmap(0, 0));

    // The off marker is told apart by its address, not its (empty) text.
    ref->setBitmap(1, 0, "");
    EXPECT_NE(KxRlNoBitmap, ref->getBitmap(1, 0));
    EXPECT_STREQ("", ref->getBitmap(1, 0));
}

TEST_F(GroupRefTest, replacementToTheOffMarker) {
    ref->replaceBitmap("metal.dds", KxRlNoBitmap);
    EXPECT_EQ(KxRlNoBitmap, ref->getBitmap(1, 0));
    ASSERT_EQ(1, ref->getBitmapReplacements().getCount());
    EXPECT_STREQ("metal.dds", ref->getBitmapReplacements().get(0).oldName);
}

TEST_F(GroupRefTest, clipRegionsUniteGroupAndMeshWithInclusiveBoundaries) {
    EXPECT_TRUE(ref->isInClipRegions(0, 100.0f, 100.0f, 100.0f));  // no regions at all: inside

    ref->addClipRegion(0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f);
    KxDClipRegion3D meshRegion(5.0f, 4.0f, 0.0f, 1.0f, 0.0f, 1.0f);  // ends in either order
    ref->addClipRegion(1, &meshRegion);
    meshRegion.clear();  // the reference holds a copy
    ASSERT_EQ(1, ref->getClipCount(1));
    EXPECT_EQ(4.0f, ref->getClipRegion(1, 0)->getMinX());

    EXPECT_TRUE(ref->isInClipRegions(1, 1.0f, 1.0f, 1.0f));   // group region, on its corner
    EXPECT_TRUE(ref->isInClipRegions(1, 4.0f, 0.0f, 0.5f));   // mesh region, on its face
    EXPECT_FALSE(ref->isInClipRegions(1, 2.5f, 0.5f, 0.5f));  // between the two
    EXPECT_FALSE(ref->isInClipRegions(1, 5.0001f, 0.5f, 0.5f));
    EXPECT_FALSE(ref->isInClipRegions(0, 4.5f, 0.5f, 0.5f));  // mesh 1's region is not mesh 0's
    _KxDVector3D p{0.5f, 0.5f, 0.5f};
    EXPECT_TRUE(ref->isInClipRegions(0, &p));
    EXPECT_TRUE(ref->isInClipRegions(&p));
    EXPECT_FALSE(ref->isInClipRegions(4.5f, 0.5f, 0.5f));  // the group test ignores mesh regions
    EXPECT_TRUE(ref->needsClipping(0));

    ref->removeClipRegion(0);
    EXPECT_EQ(0, ref->getClipCount());
    EXPECT_TRUE(ref->isInClipRegions(0, 100.0f, 0.0f, 0.0f));  // mesh 0 has no region left
    EXPECT_FALSE(ref->isInClipRegions(1, 0.5f, 0.5f, 0.5f));
    ref->removeClipRegion(1, 0);
    EXPECT_FALSE(ref->needsClipping(1));
}

TEST_F(GroupRefTest, meshTransformsReplaceTheGroupTransforms) {
    ref->addTranslation(1.0f, 0.0f, 0.0f);
    ref->addScaling(3.0f);
    EXPECT_EQ(2, ref->getTransformCount());
    EXPECT_EQ(2, ref->getTransform(1)->getType());
    EXPECT_EQ(3.0f, ref->getFinalTransform()->getValue(3, 0));  // translate, then scale

    EXPECT_EQ(ref->getFinalTransform(), ref->getMeshTransform(0));
    ref->addScaling(0, 2.0f);
    KxDMatTransform *own = ref->getMeshTransform(0);
    EXPECT_EQ(ref->getFinalTransform(0), own);
    EXPECT_EQ(2.0f, own->getValue(0, 0));
    EXPECT_EQ(0.0f, own->getValue(3, 0));  // the group's translation is not combined in
    EXPECT_EQ(ref->getFinalTransform(), ref->getMeshTransform(1));
    EXPECT_TRUE(ref->needsTransform(1));

    ref->addRotation(0, KXD_AXIS_Z, 1.0f);
    ref->addTranslation(0, 0.0f, 0.0f, 5.0f);
    EXPECT_EQ(3, ref->getTransformCount(0));
    EXPECT_EQ(1, ref->getTransform(0, 2)->getType());
    ref->rollbackTransform(0, 0);
    EXPECT_EQ(0, ref->getTransformCount(0));
    EXPECT_EQ(ref->getFinalTransform(), ref->getMeshTransform(0));
    ref->rollbackTransform(1);
    EXPECT_EQ(1.0f, ref->getFinalTransform()->getValue(3, 0));
}

TEST_F(GroupRefTest, textureTranslationMarkedAndCleared) {
    ref->setTexTranslation(0.5f, 0.25f);
    EXPECT_EQ(0.5f, ref->getTexTranslateX());
    EXPECT_EQ(0.25f, ref->getTexTranslateY(1));

    ref->setTexTranslation(1, 0.0f, 0.0f);  // set to zero still overrides the group
    EXPECT_TRUE(ref->isTexTranslationSet(1));
    EXPECT_EQ(0.0f, ref->getTexTranslateX(1));
    EXPECT_EQ(0.0f, ref->getTexTranslateY(1));
    EXPECT_EQ(0.5f, ref->getTexTranslateX(0));

    ref->clearTexTranslation(1);
    EXPECT_EQ(0.5f, ref->getTexTranslateX(1));
    EXPECT_EQ(0.25f, ref->getTexTranslateY(1));
}

TEST(GroupRefFile, referenceToAGroupOfALoadedFile) {
    TempFolder folder;
    auto file = loadMsh(folder, buildMsh(richDescription()));
    KxRlMeshGroupRef ref(file.get(), 0);
    EXPECT_EQ(file->getMeshGroup(0), ref.getMeshGroup());
    EXPECT_STREQ("chair", ref.getGroupName());
    EXPECT_STREQ("lm_chair.dds", ref.getBitmap(0, 2));
    EXPECT_STREQ("metal.dds", ref.getBitmap(1, 0));
    KxRlMeshGroupRef empty(file.get(), 2);
    EXPECT_EQ(0, empty.getMeshCount());
    EXPECT_TRUE(empty.isInClipRegions(0.0f, 0.0f, 0.0f));
}

}  // namespace
