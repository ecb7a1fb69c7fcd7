#include "KxDVector.h"

#include "RandomAccessFile.h"

#include <cmath>

void kxdVecLoad(_KxDVector2D *v, RandomAccessFile *file) {
    v->x = file->readFloat();
    v->y = file->readFloat();
}

void kxdVecLoad(_KxDVector3D *v, RandomAccessFile *file) {
    v->x = file->readFloat();
    v->y = file->readFloat();
    v->z = file->readFloat();
}

void kxdVecSet(_KxDVector2D *v, float x, float y) {
    v->x = x;
    v->y = y;
}

void kxdVecSet(_KxDVector3D *v, float x, float y, float z) {
    v->x = x;
    v->y = y;
    v->z = z;
}

void kxdVecCopy(_KxDVector2D *dest, const _KxDVector2D *src) { *dest = *src; }

void kxdVecCopy(_KxDVector3D *dest, const _KxDVector3D *src) { *dest = *src; }

float kxdVecLen(const _KxDVector2D *v) { return std::sqrt(v->x * v->x + v->y * v->y); }

float kxdVecLen(const _KxDVector3D *v) {
    return std::sqrt(v->x * v->x + v->y * v->y + v->z * v->z);
}

void kxdVecNormalize(_KxDVector2D *v) {
    float len = kxdVecLen(v);
    v->x /= len;
    v->y /= len;
}

void kxdVecNormalize(_KxDVector3D *v) {
    float len = kxdVecLen(v);
    v->x /= len;
    v->y /= len;
    v->z /= len;
}

bool kxdVecEqual(const _KxDVector2D *a, const _KxDVector2D *b) {
    return a->x == b->x && a->y == b->y;
}

bool kxdVecEqual(const _KxDVector3D *a, const _KxDVector3D *b) {
    return a->x == b->x && a->y == b->y && a->z == b->z;
}

void kxdVecAdd(_KxDVector2D *result, const _KxDVector2D *a, const _KxDVector2D *b) {
    result->x = a->x + b->x;
    result->y = a->y + b->y;
}

void kxdVecAdd(_KxDVector3D *result, const _KxDVector3D *a, const _KxDVector3D *b) {
    result->x = a->x + b->x;
    result->y = a->y + b->y;
    result->z = a->z + b->z;
}

void kxdVecSub(_KxDVector2D *result, const _KxDVector2D *a, const _KxDVector2D *b) {
    result->x = a->x - b->x;
    result->y = a->y - b->y;
}

void kxdVecSub(_KxDVector3D *result, const _KxDVector3D *a, const _KxDVector3D *b) {
    result->x = a->x - b->x;
    result->y = a->y - b->y;
    result->z = a->z - b->z;
}

float kxdVecDot(const _KxDVector2D *a, const _KxDVector2D *b) { return a->x * b->x + a->y * b->y; }

float kxdVecDot(const _KxDVector3D *a, const _KxDVector3D *b) {
    return a->x * b->x + a->y * b->y + a->z * b->z;
}

float kxdVecCross(const _KxDVector2D *a, const _KxDVector2D *b) { return a->x * b->y - a->y * b->x; }

void kxdVecCross(_KxDVector3D *result, const _KxDVector3D *a, const _KxDVector3D *b) {
    // Through locals: the result may be one of the inputs.
    float x = a->y * b->z - a->z * b->y;
    float y = a->z * b->x - a->x * b->z;
    float z = a->x * b->y - a->y * b->x;
    result->x = x;
    result->y = y;
    result->z = z;
}

int kxdLineIntersect(_KxDVector2D *result, const _KxDVector2D *p1, const _KxDVector2D *p2,
                     const _KxDVector2D *p3, const _KxDVector2D *p4) {
    _KxDVector2D d1, d2, p1p3;
    kxdVecSub(&d1, p2, p1);
    kxdVecSub(&d2, p4, p3);
    float k = kxdVecCross(&d1, &d2);
    if (k == 0.0f) return 0;
    // p1 + t*d1 lies on the second line when cross(p1 + t*d1 - p3, d2) = 0.
    kxdVecSub(&p1p3, p3, p1);
    float t = kxdVecCross(&p1p3, &d2) / k;
    float x = p1->x + t * d1.x;
    float y = p1->y + t * d1.y;
    result->x = x;
    result->y = y;
    return 1;
}
