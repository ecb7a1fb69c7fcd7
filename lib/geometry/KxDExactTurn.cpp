#include "KxDExactTurn.h"

#include <cmath>

// Error-free transformations of doubles (round to nearest, no fused multiply-add: the build
// turns contraction off): a sum or a product as its rounded value plus the exact rest. Float
// inputs widened to double keep every product far from overflow and underflow, so the rests
// are exact and the sum of all of them is the exact cross product.
namespace {

const double kEpsilon = 1.1102230246251565e-16;  // 2^-53
// Bound of the error of the plain double cross product, relative to the sum of its two
// products' magnitudes.
const double kTurnErrorBound = (3.0 + 16.0 * kEpsilon) * kEpsilon;
const double kSplitter = 134217729.0;  // 2^27 + 1

void twoSum(double a, double b, double *sum, double *rest) {
    double s = a + b;
    double bVirtual = s - a;
    double aVirtual = s - bVirtual;
    *sum = s;
    *rest = (a - aVirtual) + (b - bVirtual);
}

void twoDiff(double a, double b, double *diff, double *rest) { twoSum(a, -b, diff, rest); }

void split(double a, double *high, double *low) {
    double c = kSplitter * a;
    double big = c - a;
    *high = c - big;
    *low = a - *high;
}

void twoProduct(double a, double b, double *product, double *rest) {
    double p = a * b;
    double aHigh, aLow, bHigh, bLow;
    split(a, &aHigh, &aLow);
    split(b, &bHigh, &bLow);
    double err1 = p - aHigh * bHigh;
    double err2 = err1 - aLow * bHigh;
    double err3 = err2 - aHigh * bLow;
    *product = p;
    *rest = aLow * bLow - err3;
}

// A sum kept exactly as parts that do not overlap, smallest first; its sign is the sign of
// its largest part.
class ExactSum {
public:
    void add(double value) {
        double carry = value;
        int kept = 0;
        for (int i = 0; i < count; i++) {
            double sum, rest;
            twoSum(carry, parts[i], &sum, &rest);
            carry = sum;
            if (rest != 0.0) parts[kept++] = rest;
        }
        if (carry != 0.0) parts[kept++] = carry;
        count = kept;
    }
    int sign() const { return count == 0 ? 0 : (parts[count - 1] > 0.0 ? 1 : -1); }

private:
    // 16 products' parts at most, plus the one being added.
    double parts[17];
    int count = 0;
};

int signOf(double v) { return v > 0.0 ? 1 : (v < 0.0 ? -1 : 0); }

}  // namespace

int kxdExactTurn(const _KxDVector2D *a, const _KxDVector2D *b, const _KxDVector2D *c) {
    const double ax = a->x, ay = a->y, bx = b->x, by = b->y, cx = c->x, cy = c->y;
    double left = (bx - ax) * (cy - ay);
    double right = (by - ay) * (cx - ax);
    double det = left - right;
    if (!std::isfinite(ax) || !std::isfinite(ay) || !std::isfinite(bx) || !std::isfinite(by) ||
        !std::isfinite(cx) || !std::isfinite(cy))
        return signOf(det);
    // Products of opposite signs (or a zero one) cannot cancel: the rounded difference has the
    // right sign.
    double magnitude;
    if (left > 0.0) {
        if (right <= 0.0) return signOf(det);
        magnitude = left + right;
    } else if (left < 0.0) {
        if (right >= 0.0) return signOf(det);
        magnitude = -left - right;
    } else {
        return signOf(det);
    }
    double bound = kTurnErrorBound * magnitude;
    if (det >= bound || -det >= bound) return signOf(det);

    // Too close to call: (bx - ax)(cy - ay) - (by - ay)(cx - ax) from exact parts.
    double u[2], v[2], w[2], z[2];
    twoDiff(bx, ax, &u[1], &u[0]);
    twoDiff(cy, ay, &v[1], &v[0]);
    twoDiff(by, ay, &w[1], &w[0]);
    twoDiff(cx, ax, &z[1], &z[0]);
    ExactSum sum;
    for (int i = 0; i < 2; i++) {
        for (int j = 0; j < 2; j++) {
            double product, rest;
            twoProduct(u[i], v[j], &product, &rest);
            sum.add(rest);
            sum.add(product);
            twoProduct(w[i], z[j], &product, &rest);
            sum.add(-rest);
            sum.add(-product);
        }
    }
    return sum.sign();
}
