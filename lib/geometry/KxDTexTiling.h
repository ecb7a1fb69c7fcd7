#ifndef KX_GEOMETRY_KXDTEXTILING_H
#define KX_GEOMETRY_KXDTEXTILING_H

// Maps a world distance to a texture co-ordinate on each axis: offset + distance / wrap,
// or offset - distance / wrap when the axis is reversed. The wrap is the world distance
// that one repeat of the texture covers.
//
// A wrap of 0 keeps the co-ordinate at the offset whatever the distance, so a degenerate
// tiling (a zero-sized light-map area, a flat outline, a wrap of 0 in a room file) never
// puts an infinite or not-a-number co-ordinate into a mesh.
class KxDTexTiling {
public:
    // Offsets 0, not reversed, both wraps 1.
    KxDTexTiling();
    // Both wraps `wrap`.
    explicit KxDTexTiling(float wrap);
    KxDTexTiling(float wrapX, float wrapY);

    float getOffsetX() const { return offsetX; }
    float getOffsetY() const { return offsetY; }
    void setOffset(float x, float y);
    bool getReverseX() const { return reverseX; }
    bool getReverseY() const { return reverseY; }
    void setReverse(bool x, bool y);
    float getWrapX() const { return wrapX; }
    float getWrapY() const { return wrapY; }
    void setWrap(float wrap);
    void setWrap(float wrapX, float wrapY);

    // The co-ordinate at distance `d`: offset + step.
    float getXCoord(float d) const { return offsetX + getXStep(d); }
    float getYCoord(float d) const { return offsetY + getYStep(d); }
    // How far the co-ordinate moves over distance `d`: d / wrap, negated when reversed;
    // 0 when the wrap is 0.
    float getXStep(float d) const { return step(d, wrapX, reverseX); }
    float getYStep(float d) const { return step(d, wrapY, reverseY); }

private:
    static float step(float d, float wrap, bool reverse);

    float offsetX, offsetY;
    bool reverseX, reverseY;
    float wrapX, wrapY;
};

#endif
