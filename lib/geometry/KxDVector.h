#ifndef KX_GEOMETRY_KXDVECTOR_H
#define KX_GEOMETRY_KXDVECTOR_H

class RandomAccessFile;

// Plain records of single-precision floats: texture co-ordinates and floor-plan points (2D),
// positions and normals (3D). Z is the vertical axis. The records have no constructor; in
// files they are consecutive little-endian floats in the order x, y (, z).
struct _KxDVector2D {
    float x;
    float y;
};

struct _KxDVector3D {
    float x;
    float y;
    float z;
};

// The functions take the result record first. Input records are read-only and the result
// may be the same record as an input. Nothing allocates; every result stays in float.

// Reads x, y (, z) from the file's current position. An IOException of the file passes
// through; the components read before it stay stored.
void kxdVecLoad(_KxDVector2D *v, RandomAccessFile *file);
void kxdVecLoad(_KxDVector3D *v, RandomAccessFile *file);

void kxdVecSet(_KxDVector2D *v, float x, float y);
void kxdVecSet(_KxDVector3D *v, float x, float y, float z);

void kxdVecCopy(_KxDVector2D *dest, const _KxDVector2D *src);
void kxdVecCopy(_KxDVector3D *dest, const _KxDVector3D *src);

// Euclidean length (single-precision square root).
float kxdVecLen(const _KxDVector2D *v);
float kxdVecLen(const _KxDVector3D *v);

// Divides by the length in place. No guard: a zero-length record becomes not-a-number.
void kxdVecNormalize(_KxDVector2D *v);
void kxdVecNormalize(_KxDVector3D *v);

// Exact component-wise equality: 0.0 equals -0.0, not-a-number equals nothing.
bool kxdVecEqual(const _KxDVector2D *a, const _KxDVector2D *b);
bool kxdVecEqual(const _KxDVector3D *a, const _KxDVector3D *b);

void kxdVecAdd(_KxDVector2D *result, const _KxDVector2D *a, const _KxDVector2D *b);
void kxdVecAdd(_KxDVector3D *result, const _KxDVector3D *a, const _KxDVector3D *b);

void kxdVecSub(_KxDVector2D *result, const _KxDVector2D *a, const _KxDVector2D *b);
void kxdVecSub(_KxDVector3D *result, const _KxDVector3D *a, const _KxDVector3D *b);

float kxdVecDot(const _KxDVector2D *a, const _KxDVector2D *b);
float kxdVecDot(const _KxDVector3D *a, const _KxDVector3D *b);

// 2D: the z component of the 3D cross product, a.x*b.y - a.y*b.x.
float kxdVecCross(const _KxDVector2D *a, const _KxDVector2D *b);
void kxdVecCross(_KxDVector3D *result, const _KxDVector3D *a, const _KxDVector3D *b);

// Meeting point of the infinite line through p1 and p2 with the infinite line through p3
// and p4. Returns 1 and writes the point, or returns 0 and leaves `result` untouched when
// the cross product of the two directions is exactly 0 (parallel lines or a zero direction).
// There is no tolerance: nearly parallel lines give very distant points.
int kxdLineIntersect(_KxDVector2D *result, const _KxDVector2D *p1, const _KxDVector2D *p2,
                     const _KxDVector2D *p3, const _KxDVector2D *p4);

#endif
