#include "KxDVector.h"

#include "IOException.h"
#include "RandomAccessFile.h"
#include "TempFolder.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

TEST(Vector, arithmeticMayWriteIntoAnInput) {
    _KxDVector3D a = {1.0f, 2.0f, 3.0f};
    _KxDVector3D b = {0.5f, -1.0f, 4.0f};
    kxdVecAdd(&a, &a, &b);
    EXPECT_FLOAT_EQ(1.5f, a.x);
    EXPECT_FLOAT_EQ(1.0f, a.y);
    EXPECT_FLOAT_EQ(7.0f, a.z);
    kxdVecSub(&a, &a, &a);
    EXPECT_EQ(0.0f, a.x);
    EXPECT_EQ(0.0f, a.y);
    EXPECT_EQ(0.0f, a.z);

    // Cross product into its own first operand: every component must use the old values.
    _KxDVector3D x = {1.0f, 0.0f, 0.0f};
    _KxDVector3D y = {0.0f, 1.0f, 0.0f};
    kxdVecCross(&x, &x, &y);
    EXPECT_EQ(0.0f, x.x);
    EXPECT_EQ(0.0f, x.y);
    EXPECT_EQ(1.0f, x.z);

    _KxDVector2D p = {2.0f, 3.0f}, q = {4.0f, 5.0f};
    EXPECT_EQ(23.0f, kxdVecDot(&p, &q));
    EXPECT_EQ(-2.0f, kxdVecCross(&p, &q));  // 2*5 - 3*4
}

TEST(Vector, lengthAndNormalisation) {
    _KxDVector3D v;
    kxdVecSet(&v, 3.0f, 0.0f, 4.0f);
    EXPECT_EQ(5.0f, kxdVecLen(&v));
    kxdVecNormalize(&v);
    EXPECT_FLOAT_EQ(0.6f, v.x);
    EXPECT_EQ(0.0f, v.y);
    EXPECT_FLOAT_EQ(0.8f, v.z);

    _KxDVector2D w = {0.0f, -2.0f};
    kxdVecNormalize(&w);
    EXPECT_EQ(0.0f, w.x);
    EXPECT_EQ(-1.0f, w.y);

    // No guard: a zero vector becomes not-a-number.
    _KxDVector3D zero = {0.0f, 0.0f, 0.0f};
    kxdVecNormalize(&zero);
    EXPECT_TRUE(std::isnan(zero.x));
}

TEST(Vector, equalityIsExact) {
    _KxDVector3D a = {0.0f, 1.0f, 2.0f};
    _KxDVector3D b = {-0.0f, 1.0f, 2.0f};
    EXPECT_TRUE(kxdVecEqual(&a, &b));
    b.z = std::nextafter(2.0f, 3.0f);
    EXPECT_FALSE(kxdVecEqual(&a, &b));

    float nan = std::numeric_limits<float>::quiet_NaN();
    _KxDVector2D n1 = {nan, 0.0f}, n2 = {nan, 0.0f};
    EXPECT_FALSE(kxdVecEqual(&n1, &n2));
    _KxDVector2D c;
    kxdVecCopy(&c, &n1);
    EXPECT_TRUE(std::isnan(c.x));
}

TEST(Vector, lineIntersectionGivesTheTrueMeetingPoint) {
    _KxDVector2D r = {-7.0f, -7.0f};
    // y = 0 and x = 0.5.
    _KxDVector2D a1 = {0.0f, 0.0f}, a2 = {1.0f, 0.0f}, b1 = {0.5f, 0.0f}, b2 = {0.5f, 1.0f};
    ASSERT_EQ(1, kxdLineIntersect(&r, &a1, &a2, &b1, &b2));
    EXPECT_FLOAT_EQ(0.5f, r.x);
    EXPECT_FLOAT_EQ(0.0f, r.y);

    // Oblique lines meeting outside both segments: y = x (from (0,0) to (1,1)) and
    // y = -x + 6 (from (6,0) to (5,1)) meet at (3, 3).
    _KxDVector2D c1 = {0.0f, 0.0f}, c2 = {1.0f, 1.0f}, d1 = {6.0f, 0.0f}, d2 = {5.0f, 1.0f};
    ASSERT_EQ(1, kxdLineIntersect(&r, &c1, &c2, &d1, &d2));
    EXPECT_FLOAT_EQ(3.0f, r.x);
    EXPECT_FLOAT_EQ(3.0f, r.y);

    // Neither line through the origin, and the order of the lines does not matter.
    _KxDVector2D e1 = {1.0f, 2.0f}, e2 = {3.0f, 3.0f}, f1 = {4.0f, -1.0f}, f2 = {4.0f, 7.0f};
    ASSERT_EQ(1, kxdLineIntersect(&r, &f1, &f2, &e1, &e2));
    EXPECT_FLOAT_EQ(4.0f, r.x);
    EXPECT_FLOAT_EQ(3.5f, r.y);
}

TEST(Vector, lineIntersectionOfParallelOrDegenerateLinesLeavesTheResult) {
    _KxDVector2D r = {-7.0f, -8.0f};
    _KxDVector2D a1 = {0.0f, 0.0f}, a2 = {1.0f, 1.0f}, b1 = {0.0f, 1.0f}, b2 = {2.0f, 3.0f};
    EXPECT_EQ(0, kxdLineIntersect(&r, &a1, &a2, &b1, &b2));
    EXPECT_EQ(0, kxdLineIntersect(&r, &a1, &a1, &b1, &b2));  // p1 = p2
    EXPECT_EQ(-7.0f, r.x);
    EXPECT_EQ(-8.0f, r.y);
}

TEST(Vector, loadsLittleEndianFloatsAndKeepsWhatWasReadBeforeTheEnd) {
    TempFolder folder;
    std::string path = folder.file("v.bin");
    {
        RandomAccessFile out(path.c_str(), "wb");
        out.writeFloat(1.5f);
        out.writeFloat(-2.0f);
        out.writeFloat(8.25f);
        out.writeFloat(4.0f);
    }
    RandomAccessFile in(path.c_str(), "rb");
    _KxDVector3D v;
    kxdVecLoad(&v, &in);
    EXPECT_EQ(1.5f, v.x);
    EXPECT_EQ(-2.0f, v.y);
    EXPECT_EQ(8.25f, v.z);

    _KxDVector3D partial = {0.0f, 0.0f, 0.0f};
    EXPECT_THROW(kxdVecLoad(&partial, &in), IOException);
    EXPECT_EQ(4.0f, partial.x);
    EXPECT_EQ(0.0f, partial.y);

    in.seek(4);
    _KxDVector2D w;
    kxdVecLoad(&w, &in);
    EXPECT_EQ(-2.0f, w.x);
    EXPECT_EQ(8.25f, w.y);
}
