#include "KxDTransformList.h"

#include <gtest/gtest.h>

namespace {
const float kHalfPi = static_cast<float>(3.141592653589793 / 2.0);

_KxDVector3D apply(const KxDTransformList &list, float x, float y, float z) {
    _KxDVector3D v = {x, y, z};
    list.getFinalTransform()->multiply(&v, false);
    return v;
}

void expectPoint(float x, float y, float z, _KxDVector3D v, float tolerance = 1e-6f) {
    EXPECT_NEAR(x, v.x, tolerance);
    EXPECT_NEAR(y, v.y, tolerance);
    EXPECT_NEAR(z, v.z, tolerance);
}
}  // namespace

TEST(TransformList, appliesItsEntriesInTheOrderTheyWereAdded) {
    KxDTransformList empty;
    EXPECT_EQ(0, empty.getTransformCount());
    expectPoint(1, 2, 3, apply(empty, 1, 2, 3), 0.0f);

    KxDTransformList moveThenScale;
    moveThenScale.addTranslation(1, 0, 0);
    moveThenScale.addScaling(2);
    expectPoint(2, 0, 0, apply(moveThenScale, 0, 0, 0), 0.0f);

    KxDTransformList scaleThenMove;
    scaleThenMove.addScaling(2);
    scaleThenMove.addTranslation(1, 0, 0);
    expectPoint(1, 0, 0, apply(scaleThenMove, 0, 0, 0), 0.0f);

    KxDTransformList turnThenMove;
    turnThenMove.addRotation(KXD_AXIS_Z, kHalfPi);
    turnThenMove.addTranslation(5, 0, 0);
    expectPoint(5, 1, 0, apply(turnThenMove, 1, 0, 0));

    KxDTransformList stretch;
    stretch.addScaling(1, 2, 3);
    expectPoint(1, 2, 3, apply(stretch, 1, 1, 1), 0.0f);
}

TEST(TransformList, keepsOneFinalTransformUpToDate) {
    KxDTransformList list;
    KxDMatTransform *shared = list.getFinalTransform();
    list.addTranslation(0, 0, 4);
    list.addRotation(KXD_AXIS_X, kHalfPi);
    EXPECT_EQ(shared, list.getFinalTransform());
    _KxDVector3D v = {0, 0, 0};
    shared->multiply(&v, false);
    expectPoint(0, -4, 0, v);  // (0, 0, 4) turned +90 degrees about X
}

TEST(TransformList, entriesAreOwnedCopiesOfTheirOwnKind) {
    KxDTransformList list;
    KxDMatRotate turn(KXD_AXIS_Y, 0.5f);
    list.addTransform(&turn);
    list.addTranslation(1, 2, 3);
    list.addScaling(4);
    list.addRotation(KXD_AXIS_Z, 1.0f);
    ASSERT_EQ(4, list.getTransformCount());
    EXPECT_EQ(0, list.getTransform(0)->getType());  // a plain copy, even of a rotation
    EXPECT_EQ(1, list.getTransform(1)->getType());
    EXPECT_EQ(2, list.getTransform(2)->getType());
    EXPECT_EQ(3, list.getTransform(3)->getType());
    EXPECT_NE(&turn, list.getTransform(0));
    EXPECT_EQ(turn.getValue(0, 2), list.getTransform(0)->getValue(0, 2));

    // The caller's transform stays the caller's: changing it later changes nothing in the list.
    turn.set(KXD_AXIS_X, 2.0f);
    EXPECT_NE(turn.getValue(0, 2), list.getTransform(0)->getValue(0, 2));
}

TEST(TransformList, rollbackKeepsTheFirstEntriesAndRecomputes) {
    KxDTransformList list;
    list.addTranslation(1, 0, 0);
    list.addScaling(2);
    list.addTranslation(0, 7, 0);
    KxDMatTransform *shared = list.getFinalTransform();

    list.rollbackTransform(5);  // nothing to remove
    EXPECT_EQ(3, list.getTransformCount());
    expectPoint(2, 7, 0, apply(list, 0, 0, 0), 0.0f);

    list.rollbackTransform(2);
    EXPECT_EQ(2, list.getTransformCount());
    expectPoint(2, 0, 0, apply(list, 0, 0, 0), 0.0f);
    EXPECT_EQ(shared, list.getFinalTransform());

    list.addRotation(KXD_AXIS_Z, kHalfPi);
    expectPoint(0, 2, 0, apply(list, 0, 0, 0));

    list.rollbackTransform(0);
    EXPECT_EQ(0, list.getTransformCount());
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 3; j++) EXPECT_EQ(i == j ? 1.0f : 0.0f, shared->getValue(i, j));

    list.addScaling(3);
    list.rollbackTransform(-1);
    EXPECT_EQ(0, list.getTransformCount());
}
