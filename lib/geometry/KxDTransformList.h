#ifndef KX_GEOMETRY_KXDTRANSFORMLIST_H
#define KX_GEOMETRY_KXDTRANSFORMLIST_H

#include "ArrayList.h"
#include "KxDMatTransform.h"

// An owned sequence of transforms and their product, applied first-added first: with
// entries T1..Tn a point is moved by T1 first and by Tn last. The final transform is one
// object for the list's whole life, updated in place, so a holder of its pointer sees
// later additions.
class KxDTransformList {
public:
    // Empty list; the final transform is the identity.
    KxDTransformList();
    // Deletes every entry and the final transform.
    ~KxDTransformList();
    KxDTransformList(const KxDTransformList &) = delete;
    KxDTransformList &operator=(const KxDTransformList &) = delete;

    // Appends a new plain copy of `t` (type 0; the caller keeps `t`).
    void addTransform(const KxDMatTransform *t);
    void addTranslation(float x, float y, float z);
    void addScaling(float f);
    void addScaling(float x, float y, float z);
    // Angle in radians.
    void addRotation(_KxDRotationAxis axis, float angle);

    // Deletes the entries from the last one down to index n, so that the first n remain,
    // then recomputes the final transform from them. n at or above the count removes
    // nothing; a negative n counts as 0.
    void rollbackTransform(int n);

    int getTransformCount() const { return static_cast<int>(transforms.getLength()); }
    // The i-th entry, owned by the list; i is unchecked by contract (0 <= i < count).
    KxDMatTransform *getTransform(int i) const;
    // The product of all entries; owned by the list and valid for its whole life.
    KxDMatTransform *getFinalTransform() const { return finalTransform; }

private:
    void append(KxDMatTransform *t);

    ArrayList transforms;
    KxDMatTransform *finalTransform;
};

#endif
