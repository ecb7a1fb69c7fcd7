// Materials and bitmaps: settings, comparison, texture renaming and the report.

#include "KxRlMeshMaterial.h"
#include "StringBuffer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string reportOf(const KxRlMeshMaterial &material) {
    StringBuffer buffer;
    material.toString(&buffer);
    return buffer.getChars();
}

TEST(MeshMaterial, newMaterialSettingsAndConstructors) {
    KxRlMeshBitmap base("wood.dds");
    KxRlMeshMaterial plain(&base);
    EXPECT_EQ("(wood.dds) () () ()\n"
              "  [ 00 00 00 00 00 01 01 00 00 00 00 00 00 00 04 00 96 96 96 FF 00 00 00 00 ]",
              reportOf(plain));
    EXPECT_FALSE(plain.getHasAlpha());
    EXPECT_EQ(0xFF969696ul, plain.getDiffuseColor());

    KxRlMeshMaterial animated(&base, true, 0x80112233ul, 10, 20, 30);
    EXPECT_TRUE(animated.getHasAlpha());
    EXPECT_EQ(0, animated.getRawData()[8]);  // the tools' switches set byte 8, not the constructor
    EXPECT_EQ(0x80112233ul, animated.getDiffuseColor());
    EXPECT_EQ(10, animated.getSpeedX());
    EXPECT_EQ(20, animated.getSpeedY());
    EXPECT_EQ(30, animated.getSpeedRotate());

    KxRlMeshBitmap a("a"), b("b"), c("c"), d("d");
    EXPECT_EQ("(a) (b) (c) (d)\n"
              "  [ 00 00 00 00 00 01 01 00 00 00 00 00 00 00 04 00 96 96 96 FF 00 00 00 00 ]",
              reportOf(KxRlMeshMaterial(&a, &b, &c, &d)));
    EXPECT_EQ("() () () ()\n"
              "  [ 00 00 00 00 00 01 01 00 00 00 00 00 00 00 04 00 96 96 96 FF 00 00 00 00 ]",
              reportOf(KxRlMeshMaterial()));
}

TEST(MeshMaterial, equalityComparesNamesAndSettingsNotIndices) {
    KxRlMeshBitmap wood1("wood.dds"), wood2("wood.dds"), other("Wood.dds");
    KxRlMeshMaterial a(&wood1), b(&wood2);
    a.getRawData()[0] = 3;  // index bytes differ
    b.getRawData()[0] = 7;
    EXPECT_TRUE(a.equals(&b));
    EXPECT_FALSE(a.equals(nullptr));

    KxRlMeshMaterial differentName(&other);
    EXPECT_FALSE(a.equals(&differentName));  // case-sensitive
    KxRlMeshMaterial noBase;
    EXPECT_FALSE(a.equals(&noBase));
    EXPECT_FALSE(noBase.equals(&a));

    b.getRawData()[23] = 1;  // the last settings byte counts
    EXPECT_FALSE(a.equals(&b));
}

// A texture change on one slot never renames a bitmap that other slots or materials use: the
// slot gets a bitmap of its own, which the material frees; the shared one stays its owner's.
TEST(MeshMaterial, setBitmapGivesTheSlotItsOwnBitmapAndLeavesSharedOnesAlone) {
    KxRlMeshBitmap shared("old.dds");  // the file's (here the test's), used by three slots
    KxRlMeshMaterial first(&shared, nullptr, &shared, nullptr), second(&shared);
    first.setBitmap(0, "new.dds");
    EXPECT_STREQ("new.dds", first.getBitmap(0)->getFilename());
    EXPECT_TRUE(first.ownsBitmap(0));
    EXPECT_STREQ("old.dds", first.getBitmap(2)->getFilename());
    EXPECT_STREQ("old.dds", second.getBitmap(0)->getFilename());
    EXPECT_STREQ("old.dds", shared.getFilename());
    EXPECT_FALSE(first.ownsBitmap(2));

    // The slot's own bitmap is renamed in place.
    const KxRlMeshBitmap *own = first.getBitmap(0);
    first.setBitmap(0, "newer.dds");
    EXPECT_EQ(own, first.getBitmap(0));
    EXPECT_STREQ("newer.dds", own->getFilename());

    // An empty slot gets a bitmap of its own too; names keep 31 characters.
    first.setBitmap(1, "0123456789012345678901234567890123456789");
    ASSERT_NE(nullptr, first.getBitmap(1));
    EXPECT_STREQ("0123456789012345678901234567890", first.getBitmap(1)->getFilename());
    EXPECT_TRUE(first.ownsBitmap(1));
    EXPECT_EQ(nullptr, second.getBitmap(1));
    EXPECT_FALSE(second.ownsBitmap(0));
}

TEST(MeshBitmap, namesAreCutTo31Characters) {
    KxRlMeshBitmap longName("abcdefghijklmnopqrstuvwxyz0123456789");
    EXPECT_STREQ("abcdefghijklmnopqrstuvwxyz01234", longName.getFilename());
    KxRlMeshBitmap empty;
    EXPECT_STREQ("", empty.getFilename());
    EXPECT_FALSE(empty.equals(nullptr));
    EXPECT_TRUE(empty.equals(&empty));
}

}  // namespace
