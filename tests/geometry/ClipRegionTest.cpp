#include "KxDClipRegion.h"

#include "IOException.h"
#include "RandomAccessFile.h"
#include "StringBuffer.h"
#include "TempFolder.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace {
uint32_t bits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}
}  // namespace

TEST(ClipRegion, emptyStateHasTheMarkerBitsAndContainsNothing) {
    KxDClipRegion3D box;
    EXPECT_EQ(0x7DB48E52u, bits(box.getMinX()));
    EXPECT_EQ(0x7DB48E52u, bits(box.getMinY()));
    EXPECT_EQ(0x7DB48E52u, bits(box.getMinZ()));
    EXPECT_EQ(0xFDB48E52u, bits(box.getMaxX()));
    EXPECT_EQ(0xFDB48E52u, bits(box.getMaxY()));
    EXPECT_EQ(0xFDB48E52u, bits(box.getMaxZ()));
    EXPECT_TRUE(box.isEmpty());
    EXPECT_FALSE(box.contains(0, 0, 0));
    EXPECT_FALSE(box.contains(3.0e37f, 3.0e37f, 3.0e37f));
    EXPECT_FALSE(box.contains(-3.0e37f, -3.0e37f, -3.0e37f));

    KxDClipRegion2D rect;
    EXPECT_EQ(0x7DB48E52u, bits(rect.getMinX()));
    EXPECT_EQ(0xFDB48E52u, bits(rect.getMaxY()));
    EXPECT_FALSE(rect.contains(0, 0));

    // clear() empties a box again, whatever it held.
    KxDClipRegion3D full(-1, 1, -1, 1, -1, 1);
    full.clear();
    EXPECT_EQ(0x7DB48E52u, bits(full.getMinZ()));
    EXPECT_EQ(0xFDB48E52u, bits(full.getMaxX()));
    EXPECT_FALSE(full.contains(0, 0, 0));
    EXPECT_NE(0.0f, full.getStepX());  // the steps stay as they were
}

TEST(ClipRegion, growsFromEmptyAndNeverShrinks) {
    KxDClipRegion3D box;
    _KxDVector3D p = {1, 2, 3};
    box.clipTo(&p);
    EXPECT_EQ(1.0f, box.getMinX());
    EXPECT_EQ(1.0f, box.getMaxX());
    EXPECT_EQ(2.0f, box.getMinY());
    EXPECT_EQ(3.0f, box.getMaxZ());
    EXPECT_FALSE(box.isEmpty());
    EXPECT_TRUE(box.contains(&p));

    box.clipTo(-4, 5, 3);
    box.clipTo(0, 0, 0);
    EXPECT_EQ(-4.0f, box.getMinX());
    EXPECT_EQ(1.0f, box.getMaxX());
    EXPECT_EQ(0.0f, box.getMinY());
    EXPECT_EQ(5.0f, box.getMaxY());
    EXPECT_EQ(0.0f, box.getMinZ());
    EXPECT_EQ(3.0f, box.getMaxZ());

    KxDClipRegion2D rect;
    _KxDVector2D q = {-1, 8};
    rect.clipTo(&q);
    rect.clipTo(2, 3);
    rect.calcStep();
    EXPECT_EQ(-1.0f, rect.getMinX());
    EXPECT_EQ(8.0f, rect.getMaxY());
    EXPECT_EQ(3.0f / 65535.0f, rect.getStepX());
}

TEST(ClipRegion, cornersMayBeGivenInEitherOrder) {
    KxDClipRegion3D box(5, 1, 0, 2, 9, -3);
    EXPECT_EQ(1.0f, box.getMinX());
    EXPECT_EQ(5.0f, box.getMaxX());
    EXPECT_EQ(0.0f, box.getMinY());
    EXPECT_EQ(2.0f, box.getMaxY());
    EXPECT_EQ(-3.0f, box.getMinZ());
    EXPECT_EQ(9.0f, box.getMaxZ());
    EXPECT_EQ(4.0f / 65535.0f, box.getStepX());
    EXPECT_EQ(12.0f / 65535.0f, box.getStepZ());

    KxDClipRegion2D rect(3, -3, 1, 0);
    EXPECT_EQ(-3.0f, rect.getMinX());
    EXPECT_EQ(1.0f, rect.getMaxY());

    KxDClipRegion3D copy(&box);
    EXPECT_EQ(1.0f, copy.getMinX());
    EXPECT_EQ(9.0f, copy.getMaxZ());
    EXPECT_EQ(box.getStepY(), copy.getStepY());

    StringBuffer sb;
    box.toString(&sb);
    sb.append(' ');
    rect.toString(&sb);
    EXPECT_STREQ("(1.000000, 0.000000, -3.000000) -> (5.000000, 2.000000, 9.000000) "
                 "(-3.000000, 0.000000) -> (3.000000, 1.000000)",
                 sb.getChars());
}

TEST(ClipRegion, containsIsInclusiveOnEveryFace) {
    KxDClipRegion3D box(0, 2, 0, 2, 0, 2);
    EXPECT_TRUE(box.contains(2, 1, 1));
    EXPECT_TRUE(box.contains(0, 0, 0));
    EXPECT_TRUE(box.contains(2, 2, 2));
    EXPECT_FALSE(box.contains(std::nextafter(2.0f, 3.0f), 1, 1));
    EXPECT_FALSE(box.contains(1, -1e-6f, 1));
    EXPECT_FALSE(box.contains(1, 1, 2.001f));

    KxDClipRegion2D rect(0, 2, 0, 2);
    EXPECT_TRUE(rect.contains(2, 0));
    EXPECT_FALSE(rect.contains(2, 2.5f));
}

TEST(ClipRegion, quantisesByTruncatedFloatSteps) {
    KxDClipRegion2D unit(0, 65535, 0, 65535);
    EXPECT_EQ(1.0f, unit.getStepX());
    EXPECT_EQ(12, unit.toShortX(12.9f));
    EXPECT_EQ(12.0f, unit.fromShortX(12));
    EXPECT_EQ(0, unit.toShortX(0.0f));
    EXPECT_EQ(65535, unit.toShortX(65535.0f));
    EXPECT_EQ(0, unit.toShortX(-0.5f));  // truncated toward zero, not down

    // Outside the box the code wraps in its low 16 bits.
    EXPECT_EQ(65535, unit.toShortX(-1.5f));
    EXPECT_EQ(0, unit.toShortX(65536.5f));
    EXPECT_EQ(4, unit.toShortY(65540.0f));
    // Far outside, the conversion stays defined (checked under the sanitizer build).
    unit.toShortX(1e30f);
    unit.toShortX(-1e30f);
    unit.toShortX(std::nanf(""));

    // At max the float quotient may fall just short of 65535: then the code is one lower.
    KxDClipRegion3D box(0, 1, 0, 0.3f, -3.25f, -2.25f);
    EXPECT_EQ(0, box.toShortX(0.0f));
    EXPECT_EQ(65535, box.toShortX(1.0f));
    EXPECT_EQ(65534, box.toShortY(0.3f));
    EXPECT_EQ(0, box.toShortZ(-3.25f));
    EXPECT_EQ(65535, box.toShortZ(-2.25f));
    EXPECT_EQ(-3.25f, box.fromShortZ(0));
}

TEST(ClipRegion, flatAxisCodesEverythingAsZero) {
    KxDClipRegion3D box(1, 2, 4, 4, 0, 1);
    EXPECT_EQ(0.0f, box.getStepY());
    EXPECT_EQ(0, box.toShortY(4.0f));
    EXPECT_EQ(0, box.toShortY(100.0f));
    EXPECT_EQ(4.0f, box.fromShortY(0));
    EXPECT_EQ(4.0f, box.fromShortY(65535));
}

TEST(ClipRegion, roundTripStaysWithinOneStep) {
    KxDClipRegion3D box(-12.5f, 40.25f, 0.001f, 0.002f, -1000, 3);
    for (int i = 0; i <= 1000; i++) {
        float t = static_cast<float>(i) / 1000.0f;
        float x = box.getMinX() + t * (box.getMaxX() - box.getMinX());
        float y = box.getMinY() + t * (box.getMaxY() - box.getMinY());
        float z = box.getMinZ() + t * (box.getMaxZ() - box.getMinZ());
        if (x > box.getMaxX()) x = box.getMaxX();
        if (y > box.getMaxY()) y = box.getMaxY();
        if (z > box.getMaxZ()) z = box.getMaxZ();
        EXPECT_LE(std::fabs(box.fromShortX(box.toShortX(x)) - x), box.getStepX() * 1.001f) << x;
        EXPECT_LE(std::fabs(box.fromShortY(box.toShortY(y)) - y), box.getStepY() * 1.001f) << y;
        EXPECT_LE(std::fabs(box.fromShortZ(box.toShortZ(z)) - z), box.getStepZ() * 1.001f) << z;
    }
}

TEST(ClipRegion, readsLowCornerThenHighCornerUnordered) {
    TempFolder folder;
    std::string path = folder.file("r.bin");
    {
        RandomAccessFile out(path.c_str(), "wb");
        const float box[6] = {1, 2, 3, 4, 6, -3};  // minZ above maxZ
        for (float f : box) out.writeFloat(f);
        const float rect[4] = {0.5f, -1, 1.5f, 1};
        for (float f : rect) out.writeFloat(f);
        out.writeFloat(0);  // a truncated region
    }
    RandomAccessFile in(path.c_str(), "rb");
    std::unique_ptr<KxDClipRegion3D> box(KxDClipRegion3D::CreateFromFile(&in));
    EXPECT_EQ(1.0f, box->getMinX());
    EXPECT_EQ(2.0f, box->getMinY());
    EXPECT_EQ(3.0f, box->getMinZ());
    EXPECT_EQ(4.0f, box->getMaxX());
    EXPECT_EQ(6.0f, box->getMaxY());
    EXPECT_EQ(-3.0f, box->getMaxZ());
    EXPECT_EQ(3.0f / 65535.0f, box->getStepX());
    EXPECT_EQ(-6.0f / 65535.0f, box->getStepZ());
    box->correct();
    EXPECT_EQ(-3.0f, box->getMinZ());
    EXPECT_EQ(3.0f, box->getMaxZ());
    EXPECT_EQ(6.0f / 65535.0f, box->getStepZ());

    std::unique_ptr<KxDClipRegion2D> rect(KxDClipRegion2D::CreateFromFile(&in));
    EXPECT_EQ(0.5f, rect->getMinX());
    EXPECT_EQ(-1.0f, rect->getMinY());
    EXPECT_EQ(1.5f, rect->getMaxX());
    EXPECT_EQ(1.0f, rect->getMaxY());
    EXPECT_EQ(2.0f / 65535.0f, rect->getStepY());

    EXPECT_THROW(KxDClipRegion2D::CreateFromFile(&in), IOException);
}
