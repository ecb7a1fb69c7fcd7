#include "KxDMatTransform.h"

#include "RandomAccessFile.h"
#include "StringBuffer.h"

#include <cmath>

namespace {
// Relative tolerance under which the linear part counts as a rotation, mirror or uniform
// scaling (rows orthogonal and of equal length). Using the linear part itself for directions
// then keeps the results bit for bit those of the plain matrix; the angle error it allows is
// far below the resolution of a stored 16-bit normal.
const double kConformalTolerance = 1e-5;
}  // namespace

KxDMatTransform::KxDMatTransform() { reset(); }

KxDMatTransform::KxDMatTransform(const KxDMatTransform *source) {
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 3; j++) m[i][j] = source->m[i][j];
    valuesChanged();
}

KxDMatTransform::~KxDMatTransform() {}

KxDMatTransform *KxDMatTransform::CreateFromFile(RandomAccessFile *file) {
    float values[4][3];
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 3; j++) values[i][j] = file->readFloat();
    KxDMatTransform *t = new KxDMatTransform();
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 3; j++) t->m[i][j] = values[i][j];
    t->valuesChanged();
    return t;
}

void KxDMatTransform::reset() {
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 3; j++) m[i][j] = (i == j) ? 1.0f : 0.0f;
    valuesChanged();
}

int KxDMatTransform::getType() const { return 0; }

void KxDMatTransform::multiply(const KxDMatTransform *other) {
    const float(*o)[3] = other->m;
    float r[4][3];
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) r[i][j] = m[i][0] * o[0][j] + m[i][1] * o[1][j] + m[i][2] * o[2][j];
    for (int j = 0; j < 3; j++)
        r[3][j] = m[3][0] * o[0][j] + m[3][1] * o[1][j] + m[3][2] * o[2][j] + o[3][j];
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 3; j++) m[i][j] = r[i][j];
    valuesChanged();
}

void KxDMatTransform::multiply(_KxDVector3D *v, bool direction) const {
    float x = v->x, y = v->y, z = v->z;
    if (!direction) {
        v->x = x * m[0][0] + y * m[1][0] + z * m[2][0] + m[3][0];
        v->y = x * m[0][1] + y * m[1][1] + z * m[2][1] + m[3][1];
        v->z = x * m[0][2] + y * m[1][2] + z * m[2][2] + m[3][2];
        return;
    }
    v->x = x * dirM[0][0] + y * dirM[1][0] + z * dirM[2][0];
    v->y = x * dirM[0][1] + y * dirM[1][1] + z * dirM[2][1];
    v->z = x * dirM[0][2] + y * dirM[1][2] + z * dirM[2][2];
    // A transform that crushes the surface to a line or a point leaves it no direction of its
    // own: the direction stays the one it had rather than becoming not-a-number.
    float length = v->x * v->x + v->y * v->y + v->z * v->z;
    if (!(length > 0.0f) || !std::isfinite(length)) kxdVecSet(v, x, y, z);
    kxdVecNormalize(v);
}

void KxDMatTransform::toString(StringBuffer *sb) const {
    for (int i = 0; i < 4; i++) sb->appendFormat("(%f %f %f) ", m[i][0], m[i][1], m[i][2]);
}

void KxDMatTransform::valuesChanged() {
    double a[3][3];
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) a[i][j] = m[i][j];

    // Cofactors: the inverse transpose of the linear part is cof / det.
    double cof[3][3];
    cof[0][0] = a[1][1] * a[2][2] - a[1][2] * a[2][1];
    cof[0][1] = a[1][2] * a[2][0] - a[1][0] * a[2][2];
    cof[0][2] = a[1][0] * a[2][1] - a[1][1] * a[2][0];
    cof[1][0] = a[0][2] * a[2][1] - a[0][1] * a[2][2];
    cof[1][1] = a[0][0] * a[2][2] - a[0][2] * a[2][0];
    cof[1][2] = a[0][1] * a[2][0] - a[0][0] * a[2][1];
    cof[2][0] = a[0][1] * a[1][2] - a[0][2] * a[1][1];
    cof[2][1] = a[0][2] * a[1][0] - a[0][0] * a[1][2];
    cof[2][2] = a[0][0] * a[1][1] - a[0][1] * a[1][0];
    double d = a[0][0] * cof[0][0] + a[0][1] * cof[0][1] + a[0][2] * cof[0][2];
    det = static_cast<float>(d);

    // For a rotation, mirror or uniform scaling (k times an orthogonal matrix) the inverse
    // transpose points the same way as the matrix itself: the linear part is used as it is.
    // A singular part has no inverse; when it flattens space onto a plane, the cofactors (the
    // inverse transpose times the determinant, as that goes to 0) still give the plane's
    // normal to every direction that is not crushed, so a room flattened onto its floor keeps
    // the floor facing up. One that crushes everything onto a line or a point uses the linear
    // part, and multiply() keeps each direction as it was.
    double k = (a[0][0] * a[0][0] + a[0][1] * a[0][1] + a[0][2] * a[0][2] + a[1][0] * a[1][0] +
                a[1][1] * a[1][1] + a[1][2] * a[1][2] + a[2][0] * a[2][0] + a[2][1] * a[2][1] +
                a[2][2] * a[2][2]) / 3.0;
    bool conformal = true;
    for (int i = 0; i < 3 && conformal; i++) {
        for (int j = 0; j < 3; j++) {
            double dot = a[i][0] * a[j][0] + a[i][1] * a[j][1] + a[i][2] * a[j][2];
            if (std::fabs(dot - (i == j ? k : 0.0)) > kConformalTolerance * k) {
                conformal = false;
                break;
            }
        }
    }
    double largest = 0.0;
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) largest = std::fmax(largest, std::fabs(cof[i][j]));
    if (conformal || !std::isfinite(d) || !(largest > 0.0) || !std::isfinite(largest)) {
        for (int i = 0; i < 3; i++)
            for (int j = 0; j < 3; j++) dirM[i][j] = m[i][j];
        return;
    }

    // cof * sign(det), scaled so that its largest value is 1: the scale does not matter
    // after normalising, and this keeps tiny or huge scalings away from float limits.
    double factor = (d < 0.0 ? -1.0 : 1.0) / largest;
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) dirM[i][j] = static_cast<float>(cof[i][j] * factor);
}

// --- KxDMatTranslate --------------------------------------------------------------------

KxDMatTranslate::KxDMatTranslate() {}

KxDMatTranslate::KxDMatTranslate(float x, float y, float z) { set(x, y, z); }

int KxDMatTranslate::getType() const { return 1; }

void KxDMatTranslate::set(float x, float y, float z) {
    m[3][0] = x;
    m[3][1] = y;
    m[3][2] = z;
    valuesChanged();
}

void KxDMatTranslate::setX(float x) {
    m[3][0] = x;
    valuesChanged();
}

void KxDMatTranslate::setY(float y) {
    m[3][1] = y;
    valuesChanged();
}

void KxDMatTranslate::setZ(float z) {
    m[3][2] = z;
    valuesChanged();
}

// --- KxDMatScale ------------------------------------------------------------------------

KxDMatScale::KxDMatScale() {}

KxDMatScale::KxDMatScale(float f) { set(f, f, f); }

KxDMatScale::KxDMatScale(float x, float y, float z) { set(x, y, z); }

int KxDMatScale::getType() const { return 2; }

void KxDMatScale::set(float f) { set(f, f, f); }

void KxDMatScale::set(float x, float y, float z) {
    m[0][0] = x;
    m[1][1] = y;
    m[2][2] = z;
    valuesChanged();
}

void KxDMatScale::setX(float x) {
    m[0][0] = x;
    valuesChanged();
}

void KxDMatScale::setY(float y) {
    m[1][1] = y;
    valuesChanged();
}

void KxDMatScale::setZ(float z) {
    m[2][2] = z;
    valuesChanged();
}

// --- KxDMatRotate -----------------------------------------------------------------------

KxDMatRotate::KxDMatRotate() : axis(KXD_AXIS_X), angle(0.0f) {}

KxDMatRotate::KxDMatRotate(_KxDRotationAxis axis, float angle) : axis(axis), angle(angle) {
    set(axis, angle);
}

int KxDMatRotate::getType() const { return 3; }

void KxDMatRotate::set(_KxDRotationAxis newAxis, float newAngle) {
    axis = newAxis;
    angle = newAngle;
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 3; j++) m[i][j] = (i == j) ? 1.0f : 0.0f;
    float c = std::cos(angle);
    float s = std::sin(angle);
    if (axis == KXD_AXIS_Z) {
        m[0][0] = c;
        m[0][1] = s;
        m[1][0] = -s;
        m[1][1] = c;
    } else if (axis == KXD_AXIS_X) {
        m[1][1] = c;
        m[1][2] = s;
        m[2][1] = -s;
        m[2][2] = c;
    } else {
        m[0][0] = c;
        m[0][2] = -s;
        m[2][0] = s;
        m[2][2] = c;
    }
    valuesChanged();
}
