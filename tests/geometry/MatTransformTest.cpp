#include "KxDMatTransform.h"

#include "IOException.h"
#include "RandomAccessFile.h"
#include "StringBuffer.h"
#include "TempFolder.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {
const float kHalfPi = static_cast<float>(3.141592653589793 / 2.0);

_KxDVector3D vec(float x, float y, float z) {
    _KxDVector3D v = {x, y, z};
    return v;
}

_KxDVector3D moved(const KxDMatTransform &t, _KxDVector3D v, bool direction) {
    t.multiply(&v, direction);
    return v;
}

void expectNear(_KxDVector3D expected, _KxDVector3D actual, float tolerance = 1e-6f) {
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
    EXPECT_NEAR(expected.z, actual.z, tolerance);
}

// The normal that the plain linear part gives: linear part, no translation, normalised.
_KxDVector3D byLinearPart(const KxDMatTransform &t, _KxDVector3D v) {
    _KxDVector3D r;
    r.x = v.x * t.getValue(0, 0) + v.y * t.getValue(1, 0) + v.z * t.getValue(2, 0);
    r.y = v.x * t.getValue(0, 1) + v.y * t.getValue(1, 1) + v.z * t.getValue(2, 1);
    r.z = v.x * t.getValue(0, 2) + v.y * t.getValue(1, 2) + v.z * t.getValue(2, 2);
    kxdVecNormalize(&r);
    return r;
}
}  // namespace

TEST(MatTransform, startsAsTheIdentityAndCopiesArePlain) {
    KxDMatTransform t;
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 3; j++) EXPECT_EQ(i == j ? 1.0f : 0.0f, t.getValue(i, j));
    EXPECT_EQ(0, t.getType());
    EXPECT_EQ(1.0f, t.determinant());
    EXPECT_FALSE(t.isMirroring());

    KxDMatTranslate move(1, 2, 3);
    KxDMatScale scale(2);
    KxDMatRotate turn(KXD_AXIS_Z, 0.5f);
    EXPECT_EQ(1, move.getType());
    EXPECT_EQ(2, scale.getType());
    EXPECT_EQ(3, turn.getType());

    KxDMatTransform copy(&turn);
    EXPECT_EQ(0, copy.getType());
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 3; j++) EXPECT_EQ(turn.getValue(i, j), copy.getValue(i, j));

    // reset after a product gives the identity again.
    copy.multiply(&move);
    copy.reset();
    expectNear(vec(4, 5, 6), moved(copy, vec(4, 5, 6), false), 0.0f);
}

TEST(MatTransform, subclassesWriteTheirOwnValues) {
    KxDMatTranslate move(1, 2, 3);
    move.setY(-5);
    EXPECT_EQ(1.0f, move.getX());
    EXPECT_EQ(-5.0f, move.getY());
    EXPECT_EQ(3.0f, move.getZ());
    EXPECT_EQ(-5.0f, move.getValue(3, 1));
    EXPECT_EQ(1.0f, move.getValue(1, 1));

    KxDMatScale scale(2, 3, 4);
    scale.setZ(0.5f);
    EXPECT_EQ(3.0f, scale.getValue(1, 1));
    EXPECT_EQ(0.5f, scale.getZ());
    EXPECT_EQ(0.0f, scale.getValue(3, 0));
    scale.set(7);
    EXPECT_EQ(7.0f, scale.getX());
    EXPECT_EQ(7.0f, scale.getZ());

    KxDMatRotate turn(KXD_AXIS_X, 1.0f);
    turn.set(KXD_AXIS_Z, 0.25f);
    EXPECT_EQ(KXD_AXIS_Z, turn.getAxis());
    EXPECT_EQ(0.25f, turn.getAngle());
    EXPECT_EQ(1.0f, turn.getValue(2, 2));  // nothing of the X rotation is left
    EXPECT_EQ(std::cos(0.25f), turn.getValue(1, 1));
}

TEST(MatTransform, rotationsAreRightHandedAboutEachAxis) {
    expectNear(vec(0, 1, 0), moved(KxDMatRotate(KXD_AXIS_Z, kHalfPi), vec(1, 0, 0), false));
    expectNear(vec(0, 0, 1), moved(KxDMatRotate(KXD_AXIS_X, kHalfPi), vec(0, 1, 0), false));
    expectNear(vec(1, 0, 0), moved(KxDMatRotate(KXD_AXIS_Y, kHalfPi), vec(0, 0, 1), false));
    // Any other axis value turns about Y.
    expectNear(vec(1, 0, 0),
               moved(KxDMatRotate(static_cast<_KxDRotationAxis>(7), kHalfPi), vec(0, 0, 1), false));
    // A point on the axis stays put; a negative angle turns the other way.
    expectNear(vec(0, 0, 2), moved(KxDMatRotate(KXD_AXIS_Z, 1.0f), vec(0, 0, 2), false));
    expectNear(vec(0, -1, 0), moved(KxDMatRotate(KXD_AXIS_Z, -kHalfPi), vec(1, 0, 0), false));
}

TEST(MatTransform, productAppliesThisTransformFirst) {
    KxDMatTranslate move(5, 0, 0);
    KxDMatScale twice(2);

    KxDMatTransform moveThenScale(&move);
    moveThenScale.multiply(&twice);
    expectNear(vec(12, 2, 2), moved(moveThenScale, vec(1, 1, 1), false), 0.0f);

    KxDMatTransform scaleThenMove(&twice);
    scaleThenMove.multiply(&move);
    expectNear(vec(7, 2, 2), moved(scaleThenMove, vec(1, 1, 1), false), 0.0f);

    // A general product, checked on a point: p*(S*O) = (p*S)*O.
    KxDMatRotate turn(KXD_AXIS_X, 0.3f);
    KxDMatScale stretch(1, 2, 3);
    KxDMatTransform both(&turn);
    both.multiply(&stretch);
    both.multiply(&move);
    _KxDVector3D p = vec(0.5f, -1, 2);
    _KxDVector3D stepwise = moved(move, moved(stretch, moved(turn, p, false), false), false);
    expectNear(stepwise, moved(both, p, false), 1e-5f);
}

TEST(MatTransform, directionsIgnoreTheTranslationAndComeBackUnitLength) {
    KxDMatTransform t;
    KxDMatScale three(3);
    KxDMatTranslate move(10, 20, 30);
    t.multiply(&three);
    t.multiply(&move);
    expectNear(vec(0, 0.6f, 0.8f), moved(t, vec(0, 3, 4), true));
    expectNear(vec(10, 29, 33), moved(t, vec(0, 3, 1), false), 0.0f);

    // For rotations and uniform scalings the direction result is exactly the one of the
    // linear part itself.
    KxDMatRotate turnX(KXD_AXIS_X, 0.7f), turnY(KXD_AXIS_Y, -1.3f), turnZ(KXD_AXIS_Z, 2.9f);
    KxDMatTransform combined(&turnX);
    combined.multiply(&turnY);
    combined.multiply(&turnZ);
    combined.multiply(&three);
    combined.multiply(&move);
    for (const KxDMatTransform *r : {static_cast<const KxDMatTransform *>(&turnX),
                                     static_cast<const KxDMatTransform *>(&turnY),
                                     static_cast<const KxDMatTransform *>(&turnZ),
                                     static_cast<const KxDMatTransform *>(&combined)}) {
        _KxDVector3D n = vec(0.2f, -0.5f, 0.7f);
        _KxDVector3D expected = byLinearPart(*r, n);
        _KxDVector3D actual = moved(*r, n, true);
        EXPECT_EQ(expected.x, actual.x);
        EXPECT_EQ(expected.y, actual.y);
        EXPECT_EQ(expected.z, actual.z);
        EXPECT_NEAR(1.0f, kxdVecLen(&actual), 1e-6f);
    }
}

TEST(MatTransform, normalsStayPerpendicularUnderANonUniformScaling) {
    // The plane x + y = 0 with normal (1, 1, 0) and tangents (1, -1, 0) and (0, 0, 1).
    KxDMatScale stretch(2, 1, 1);
    _KxDVector3D n = moved(stretch, vec(1, 1, 0), true);
    _KxDVector3D t1 = moved(stretch, vec(1, -1, 0), false);
    _KxDVector3D t2 = moved(stretch, vec(0, 0, 1), false);
    EXPECT_NEAR(0.0f, kxdVecDot(&n, &t1), 1e-6f);
    EXPECT_NEAR(0.0f, kxdVecDot(&n, &t2), 1e-6f);
    EXPECT_NEAR(1.0f, kxdVecLen(&n), 1e-6f);
    expectNear(vec(1.0f / std::sqrt(5.0f), 2.0f / std::sqrt(5.0f), 0), n);  // (0.5, 1, 0) normalised

    // A general skewed transform: a triangle's normal, transformed, is still perpendicular to
    // the transformed triangle and on the same side.
    KxDMatTransform skew;
    KxDMatRotate turnX(KXD_AXIS_X, 0.4f), turnZ(KXD_AXIS_Z, 1.1f);
    KxDMatScale squash(0.5f, 3, 1.5f);
    KxDMatTranslate move(4, -2, 9);
    skew.multiply(&turnX);
    skew.multiply(&squash);
    skew.multiply(&turnZ);
    skew.multiply(&move);
    _KxDVector3D a = vec(0, 0, 0), b = vec(1, 0.2f, 0.1f), c = vec(0.3f, 1, -0.4f);
    _KxDVector3D ab, ac, normal;
    kxdVecSub(&ab, &b, &a);
    kxdVecSub(&ac, &c, &a);
    kxdVecCross(&normal, &ab, &ac);
    kxdVecNormalize(&normal);
    _KxDVector3D ta = moved(skew, a, false), tb = moved(skew, b, false), tc = moved(skew, c, false);
    _KxDVector3D tab, tac, faceNormal;
    kxdVecSub(&tab, &tb, &ta);
    kxdVecSub(&tac, &tc, &ta);
    kxdVecCross(&faceNormal, &tab, &tac);
    kxdVecNormalize(&faceNormal);
    expectNear(faceNormal, moved(skew, normal, true), 1e-5f);
}

TEST(MatTransform, mirroringIsReportedAndMirrorsNormals) {
    KxDMatScale mirrorX(-1, 1, 1);
    EXPECT_TRUE(mirrorX.isMirroring());
    EXPECT_EQ(-1.0f, mirrorX.determinant());
    expectNear(vec(-1, 0, 0), moved(mirrorX, vec(1, 0, 0), true), 0.0f);
    expectNear(vec(0, 0, 1), moved(mirrorX, vec(0, 0, 1), true), 0.0f);

    KxDMatScale stretch(2, 3, 4);
    EXPECT_EQ(24.0f, stretch.determinant());
    EXPECT_FALSE(stretch.isMirroring());
    // Two mirrors make a turn.
    KxDMatTransform twoMirrors(&mirrorX);
    KxDMatScale mirrorY(1, -1, 1);
    twoMirrors.multiply(&mirrorY);
    EXPECT_FALSE(twoMirrors.isMirroring());
}

TEST(MatTransform, directionMatrixFollowsEveryChangeOfTheValues) {
    KxDMatScale scale(1);
    expectNear(vec(0.6f, 0.8f, 0), moved(scale, vec(3, 4, 0), true));
    scale.setX(4);  // normal ~ (3/4, 4, 0)
    _KxDVector3D n = moved(scale, vec(3, 4, 0), true);
    EXPECT_NEAR(0.75f / 4.0f, n.x / n.y, 1e-6f);

    KxDMatTransform t;
    KxDMatScale flat(1, 3, 1);
    t.multiply(&flat);  // normal ~ (1, 1/3, 0) for (1, 1, 0)
    n = moved(t, vec(1, 1, 0), true);
    EXPECT_NEAR(3.0f, n.x / n.y, 1e-5f);
    t.reset();
    expectNear(vec(0.6f, 0.8f, 0), moved(t, vec(3, 4, 0), true));
}

// Flattened onto a plane, every surface that keeps an area faces along the plane's normal; one
// crushed to a line or a point keeps its direction instead of becoming not-a-number.
TEST(MatTransform, singularLinearPartKeepsDirectionsFinite) {
    KxDMatScale flatten(1, 1, 0);
    EXPECT_EQ(0.0f, flatten.determinant());
    EXPECT_FALSE(flatten.isMirroring());
    expectNear(vec(0, 0, 1), moved(flatten, vec(3, 4, 5), true));
    expectNear(vec(0, 0, 1), moved(flatten, vec(0, 0, 1), true));
    expectNear(vec(0.6f, 0.8f, 0), moved(flatten, vec(3, 4, 0), true));
    KxDMatScale crush(0, 0, 0);
    expectNear(vec(0, -1, 0), moved(crush, vec(0, -2, 0), true));
    KxDMatScale line(0, 0, 2);
    expectNear(vec(0.6f, 0.8f, 0), moved(line, vec(3, 4, 0), true));
}

TEST(MatTransform, readsTwelveFloatsRowByRow) {
    TempFolder folder;
    std::string path = folder.file("m.bin");
    {
        RandomAccessFile out(path.c_str(), "wb");
        for (int i = 0; i < 12; i++) out.writeFloat(static_cast<float>(i) + 0.5f);
        out.writeFloat(1.0f);  // a second, truncated matrix
    }
    RandomAccessFile in(path.c_str(), "rb");
    std::unique_ptr<KxDMatTransform> t(KxDMatTransform::CreateFromFile(&in));
    EXPECT_EQ(0, t->getType());
    EXPECT_EQ(0.5f, t->getValue(0, 0));
    EXPECT_EQ(2.5f, t->getValue(0, 2));
    EXPECT_EQ(3.5f, t->getValue(1, 0));
    EXPECT_EQ(11.5f, t->getValue(3, 2));
    // The derived values are worked out for a matrix read from a file too.
    EXPECT_NEAR(0.0f, t->determinant(), 1e-3f);

    EXPECT_THROW(KxDMatTransform::CreateFromFile(&in), IOException);
}

TEST(MatTransform, toStringPrintsFourRows) {
    StringBuffer sb;
    KxDMatTranslate move(1.5f, -2, 0.25f);
    move.toString(&sb);
    EXPECT_STREQ("(1.000000 0.000000 0.000000) (0.000000 1.000000 0.000000) "
                 "(0.000000 0.000000 1.000000) (1.500000 -2.000000 0.250000) ",
                 sb.getChars());
}
