#include "KxDTransformList.h"

KxDTransformList::KxDTransformList() : finalTransform(new KxDMatTransform()) {}

KxDTransformList::~KxDTransformList() {
    for (uint32_t i = 0; i < transforms.getLength(); i++)
        delete static_cast<KxDMatTransform *>(transforms.get(static_cast<int>(i)));
    delete finalTransform;
}

void KxDTransformList::append(KxDMatTransform *t) {
    transforms.add(t);
    finalTransform->multiply(t);
}

void KxDTransformList::addTransform(const KxDMatTransform *t) { append(new KxDMatTransform(t)); }

void KxDTransformList::addTranslation(float x, float y, float z) {
    append(new KxDMatTranslate(x, y, z));
}

void KxDTransformList::addScaling(float f) { append(new KxDMatScale(f)); }

void KxDTransformList::addScaling(float x, float y, float z) { append(new KxDMatScale(x, y, z)); }

void KxDTransformList::addRotation(_KxDRotationAxis axis, float angle) {
    append(new KxDMatRotate(axis, angle));
}

void KxDTransformList::rollbackTransform(int n) {
    if (n < 0) n = 0;
    while (getTransformCount() > n)
        delete static_cast<KxDMatTransform *>(transforms.remove(getTransformCount() - 1));
    finalTransform->reset();
    for (int i = 0; i < getTransformCount(); i++) finalTransform->multiply(getTransform(i));
}

KxDMatTransform *KxDTransformList::getTransform(int i) const {
    return static_cast<KxDMatTransform *>(transforms.get(i));
}
