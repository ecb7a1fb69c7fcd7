#ifndef KX_GEOMETRY_KXDMATTRANSFORM_H
#define KX_GEOMETRY_KXDMATTRANSFORM_H

#include "KxDVector.h"

class RandomAccessFile;
class StringBuffer;

// Axis of a rotation. Values other than X and Z rotate about Y (the fixed underlying type
// keeps any int a valid value).
enum _KxDRotationAxis : int {
    KXD_AXIS_X = 0,
    KXD_AXIS_Y = 1,
    KXD_AXIS_Z = 2
};

// An affine transform held as a 4 x 3 matrix of floats, m[row][column]. Rows 0 to 2 are the
// linear part (the images of the X, Y and Z axes), row 3 is the translation. Points are row
// vectors multiplied from the left:
//   x' = x*m[0][0] + y*m[1][0] + z*m[2][0] + m[3][0]   (and likewise for y', z').
// Rotations and scalings act about the origin; rotations are right-handed.
//
// Directions (normals) are transformed by the inverse transpose of the linear part so that
// they stay perpendicular to the transformed surface. That matrix is worked out whenever the
// values change, never per vector.
class KxDMatTransform {
public:
    // The identity.
    KxDMatTransform();
    // Copies the 12 values. The copy is always a plain transform (type 0), whatever `source` is.
    explicit KxDMatTransform(const KxDMatTransform *source);
    virtual ~KxDMatTransform();

    // A new plain transform (owned by the caller) of 12 floats read row by row, row 0 first.
    // An IOException of the file passes through and nothing is allocated then.
    static KxDMatTransform *CreateFromFile(RandomAccessFile *file);

    // Back to the identity.
    void reset();
    // 0 plain, 1 translation, 2 scaling, 3 rotation.
    virtual int getType() const;
    // m[row][column]; row 0..3, column 0..2, unchecked.
    float getValue(int row, int column) const { return m[row][column]; }

    // This = this x other: the result applies this transform first, then `other`.
    void multiply(const KxDMatTransform *other);
    // Transforms `v` in place. A point (direction false) gets the linear part and the
    // translation. A direction (true) gets the inverse transpose of the linear part, no
    // translation, and is then normalised. When the linear part is singular it gets the
    // cofactors instead (a flattening onto a plane sends directions to the plane's normal), and
    // a direction that this crushes to nothing (a scaling by 0) keeps its own direction, so no
    // result is not-a-number unless `v` was. Allocates nothing.
    void multiply(_KxDVector3D *v, bool direction) const;

    // Determinant of the linear part (rows 0 to 2).
    float determinant() const { return det; }
    // True when the linear part mirrors (negative determinant): triangles transformed by it
    // must have their corner order reversed to keep facing out.
    bool isMirroring() const { return det < 0.0f; }
    // The matrix that multiply(v, true) applies to directions, in rows like the linear part;
    // row and column 0..2. Its overall scale is arbitrary (the result is normalised): it is
    // the linear part itself when that is a rotation, a mirror or a uniform scaling.
    float getDirectionValue(int row, int column) const { return dirM[row][column]; }

    // Appends the four rows, row 0 first, each as "(%f %f %f) ".
    void toString(StringBuffer *sb) const;

protected:
    // Works out the determinant and the direction matrix again; call after changing m.
    void valuesChanged();

    float m[4][3];

private:
    float dirM[3][3];
    float det;
};

// A translation: x, y, z are m[3][0], m[3][1], m[3][2]; the linear part stays the identity.
class KxDMatTranslate : public KxDMatTransform {
public:
    KxDMatTranslate();
    KxDMatTranslate(float x, float y, float z);
    int getType() const override;

    void set(float x, float y, float z);
    void setX(float x);
    void setY(float y);
    void setZ(float z);
    float getX() const { return m[3][0]; }
    float getY() const { return m[3][1]; }
    float getZ() const { return m[3][2]; }
};

// A scaling about the origin: x, y, z are the diagonal m[0][0], m[1][1], m[2][2].
class KxDMatScale : public KxDMatTransform {
public:
    KxDMatScale();
    explicit KxDMatScale(float f);
    KxDMatScale(float x, float y, float z);
    int getType() const override;

    void set(float f);
    void set(float x, float y, float z);
    void setX(float x);
    void setY(float y);
    void setZ(float z);
    float getX() const { return m[0][0]; }
    float getY() const { return m[1][1]; }
    float getZ() const { return m[2][2]; }
};

// A right-handed rotation about one axis through the origin, angle in radians: a positive
// angle turns counter-clockwise seen from the positive end of the axis, so +pi/2 about Z
// sends (1, 0, 0) to (0, 1, 0). Cosine and sine are taken in single precision.
class KxDMatRotate : public KxDMatTransform {
public:
    KxDMatRotate();
    KxDMatRotate(_KxDRotationAxis axis, float angle);
    int getType() const override;

    // Stores axis and angle, resets the matrix to the identity and fills in the rotation.
    void set(_KxDRotationAxis axis, float angle);
    _KxDRotationAxis getAxis() const { return axis; }
    float getAngle() const { return angle; }

private:
    _KxDRotationAxis axis;
    float angle;
};

#endif
