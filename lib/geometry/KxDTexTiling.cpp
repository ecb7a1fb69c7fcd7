#include "KxDTexTiling.h"

KxDTexTiling::KxDTexTiling() : KxDTexTiling(1.0f, 1.0f) {}

KxDTexTiling::KxDTexTiling(float wrap) : KxDTexTiling(wrap, wrap) {}

KxDTexTiling::KxDTexTiling(float wrapX, float wrapY)
    : offsetX(0.0f), offsetY(0.0f), reverseX(false), reverseY(false), wrapX(wrapX), wrapY(wrapY) {}

void KxDTexTiling::setOffset(float x, float y) {
    offsetX = x;
    offsetY = y;
}

void KxDTexTiling::setReverse(bool x, bool y) {
    reverseX = x;
    reverseY = y;
}

void KxDTexTiling::setWrap(float wrap) { setWrap(wrap, wrap); }

void KxDTexTiling::setWrap(float x, float y) {
    wrapX = x;
    wrapY = y;
}

float KxDTexTiling::step(float d, float wrap, bool reverse) {
    if (wrap == 0.0f) return 0.0f;
    float s = d / wrap;
    return reverse ? -s : s;
}
