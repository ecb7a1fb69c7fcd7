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

TEST(MeshMaterial, setBitmapRenamesSharedBitmapsOrCreatesAnOwnedOne) {
    KxRlMeshBitmap shared("old.dds");
    KxRlMeshMaterial first(&shared), second(&shared);
    first.setBitmap(0, "new.dds");
    EXPECT_STREQ("new.dds", second.getBitmap(0)->getFilename());

    // An empty slot gets a bitmap of its own (freed with the material).
    first.setBitmap(2, "0123456789012345678901234567890123456789");
    ASSERT_NE(nullptr, first.getBitmap(2));
    EXPECT_STREQ("0123456789012345678901234567890", first.getBitmap(2)->getFilename());  // 31 kept
    EXPECT_EQ(nullptr, second.getBitmap(2));
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
