#ifndef KX_GEOMETRY_KXDOUTLINECROSSINGS_H
#define KX_GEOMETRY_KXDOUTLINECROSSINGS_H

#include "KxDVector.h"

#include <cstddef>
#include <vector>

// Two stretches of a closed outline that meet although they do not follow each other. Stretch
// k runs from point k to point k + 1, the last one back to point 0.
struct _KxDOutlineMeeting {
    int first, second;  // first < second
    bool crossing;      // they cross each other; else they touch: an end of one lies on the
                        // other, or they run along one line over a common piece
};

// The meetings of the closed outline `points` (no point equal to the one after it), decided
// with the exact turn test: first every crossing, then, when `touching` is set, every touching,
// each kind in order of its first stretch and at most `limit` of each. Stretches are compared
// through a tree of boxes, so an outline of tens of thousands of points whose stretches lie
// apart is checked in a few milliseconds. Points that are not finite numbers meet nothing.
std::vector<_KxDOutlineMeeting> kxdFindOutlineMeetings(const std::vector<_KxDVector2D> &points, bool touching,
                                                       size_t limit);

#endif
