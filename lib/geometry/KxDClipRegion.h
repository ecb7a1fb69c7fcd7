#ifndef KX_GEOMETRY_KXDCLIPREGION_H
#define KX_GEOMETRY_KXDCLIPREGION_H

#include "KxDVector.h"

#include <cstdint>

class RandomAccessFile;
class StringBuffer;

// The integer part of `q` (truncated toward zero) reduced to its low 16 bits, as the 16-bit
// codes of the vertex encoding take it: values beyond 0..65535 wrap around. Not-a-number gives
// 0, and a value beyond the int range is clamped into it first, so no conversion is undefined.
uint16_t kxdTruncateToShort(float q);

// An axis-aligned rectangle (2D) or box (3D). The same object serves as a selection volume
// (inclusive `contains`), as a bounding box (`clear`, then `clipTo` every point, then
// `calcStep` or `correct`) and as the 16-bit quantiser of the compact vertex encoding, with
// one step = (max - min) / 65535 per axis.
//
// The empty (cleared) state has every min at 3.0e37 and every max at -3.0e37, so it contains
// no point and the first `clipTo` sets both ends to that point. The steps belong to the
// extents only after `calcStep` or `correct`.
class KxDClipRegion2D {
public:
    // The empty region; the steps are 0 (not computed).
    KxDClipRegion2D();
    // Both ends of an axis together, in either order; then `correct`.
    KxDClipRegion2D(float minX, float maxX, float minY, float maxY);
    // Copies the extents, then `correct`.
    explicit KxDClipRegion2D(const KxDClipRegion2D *source);
    virtual ~KxDClipRegion2D();

    // A new region (owned by the caller) read as minX, minY, maxX, maxY, then `calcStep`.
    // The values are not reordered. An IOException of the file passes through and nothing
    // is allocated then.
    static KxDClipRegion2D *CreateFromFile(RandomAccessFile *file);

    // step = (max - min) / 65535 on each axis.
    virtual void calcStep();
    // Back to the empty state; the steps stay as they were.
    virtual void clear();
    // Swaps min and max on each axis where min > max, then `calcStep`.
    virtual void correct();
    // Appends "(%f, %f) -> (%f, %f)" with minX, minY, maxX, maxY.
    virtual void toString(StringBuffer *sb) const;

    // Grows the box to include the point; never shrinks it. The steps are not recomputed.
    // (Inline: reading and bounding boxes call it once per vertex.)
    void clipTo(float x, float y) {
        if (minX > x) minX = x;
        if (x > maxX) maxX = x;
        if (minY > y) minY = y;
        if (y > maxY) maxY = y;
    }
    void clipTo(const _KxDVector2D *v) { clipTo(v->x, v->y); }
    // min <= value <= max on every axis: points on an edge or corner are inside.
    bool contains(float x, float y) const;
    bool contains(const _KxDVector2D *v) const { return contains(v->x, v->y); }

    // Code = (v - min) / step in float, truncated toward zero, low 16 bits. A value at min
    // codes to 0; one at max to 65535, or one lower when the float quotient falls just short.
    // Values outside the extent wrap around. With a step of 0 every value codes to 0.
    uint16_t toShortX(float v) const;
    uint16_t toShortY(float v) const;
    // Value = code * step + min, in float. (Inline: reading decodes every vertex with them.)
    float fromShortX(uint16_t s) const { return static_cast<float>(s) * stepX + minX; }
    float fromShortY(uint16_t s) const { return static_cast<float>(s) * stepY + minY; }

    // True when min > max on any axis of this class, as in the cleared state: such a region
    // encloses nothing (bounds merging skips it).
    bool isEmpty() const;

    float getMinX() const { return minX; }
    float getMaxX() const { return maxX; }
    float getMinY() const { return minY; }
    float getMaxY() const { return maxY; }
    float getStepX() const { return stepX; }
    float getStepY() const { return stepY; }

protected:
    // The 2D halves of the virtual operations, safe to call from constructors.
    void clear2D();
    void calcStep2D();
    void correct2D();

    float minX, maxX;
    float minY, maxY;
    float stepX, stepY;
};

// The 3D box: the 2D rectangle plus minZ, maxZ and stepZ.
class KxDClipRegion3D : public KxDClipRegion2D {
public:
    // The empty box; the steps are 0 (not computed).
    KxDClipRegion3D();
    // Both ends of an axis together, in either order; then `correct`. Tools pass two corners
    // x1 y1 z1 x2 y2 z2 as (x1, x2, y1, y2, z1, z2).
    KxDClipRegion3D(float minX, float maxX, float minY, float maxY, float minZ, float maxZ);
    // Copies the extents, then `correct`.
    explicit KxDClipRegion3D(const KxDClipRegion3D *source);

    // A new box (owned by the caller) read as minX, minY, minZ, maxX, maxY, maxZ, then
    // `calcStep`. The values are not reordered. An IOException of the file passes through
    // and nothing is allocated then.
    static KxDClipRegion3D *CreateFromFile(RandomAccessFile *file);

    void calcStep() override;
    void clear() override;
    void correct() override;
    // Appends "(%f, %f, %f) -> (%f, %f, %f)" with minX, minY, minZ, maxX, maxY, maxZ.
    void toString(StringBuffer *sb) const override;

    void clipTo(float x, float y, float z) {
        KxDClipRegion2D::clipTo(x, y);
        if (minZ > z) minZ = z;
        if (z > maxZ) maxZ = z;
    }
    void clipTo(const _KxDVector3D *v) { clipTo(v->x, v->y, v->z); }
    // Grows the box to include `box` (its two corners); an empty `box` is skipped, as its
    // extremes would widen the range to 3.0e37. The steps are not recomputed.
    void merge(const KxDClipRegion3D *box);
    bool contains(float x, float y, float z) const;
    bool contains(const _KxDVector3D *v) const { return contains(v->x, v->y, v->z); }

    uint16_t toShortZ(float v) const;
    float fromShortZ(uint16_t s) const { return static_cast<float>(s) * stepZ + minZ; }

    // True when min > max on any of the three axes.
    bool isEmpty() const;

    float getMinZ() const { return minZ; }
    float getMaxZ() const { return maxZ; }
    float getStepZ() const { return stepZ; }

protected:
    float minZ, maxZ;
    float stepZ;
};

#endif
