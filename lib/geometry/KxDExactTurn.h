#ifndef KX_GEOMETRY_KXDEXACTTURN_H
#define KX_GEOMETRY_KXDEXACTTURN_H

#include "KxDVector.h"

// The turn at b on the way a -> b -> c, decided exactly: +1 left, -1 right, 0 when the three
// points lie exactly on one line (or two of them coincide). The float cross product of the
// outline code can call a thin spike straight or a point just beside a line on it; this one
// never errs, so that whatever is built on it (ear clipping, crossing tests) cannot be led into
// a contradiction by rounding. A point that is not a finite number gives the sign of the plain
// double product (0 for not-a-number).
//
// Most calls are decided by the double product and its error bound; only points that lie on,
// or within rounding of, one line take the exact sum of partial products.
int kxdExactTurn(const _KxDVector2D *a, const _KxDVector2D *b, const _KxDVector2D *c);

#endif
