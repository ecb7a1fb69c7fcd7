#include "KxRlMeshGroupRef.h"

#include "KxRlMeshFile.h"
#include "KxRlMeshGroup.h"

#include "KxRlUtil.h"

namespace {

// Frees an override text unless it is the shared marker.
void freeOverride(char *text) {
    if (text != KxRlNoBitmap) delete[] text;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// KxRlMeshChanges

KxRlMeshChanges::KxRlMeshChanges()
    : active(true), bitmaps{nullptr, nullptr, nullptr, nullptr}, texTranslationSet(false), texTranslateX(0.0f),
      texTranslateY(0.0f) {}

KxRlMeshChanges::~KxRlMeshChanges() {
    for (char *name : bitmaps) freeOverride(name);
    for (int i = 0; i < getClipCount(); i++) delete getClipRegion(i);
}

void KxRlMeshChanges::setBitmap(int slot, const char *name) {
    freeOverride(bitmaps[slot]);
    bitmaps[slot] = nullptr;
    if (name == nullptr || name == KxRlNoBitmap) {
        // The marker is stored as it is, compared by pointer and never freed.
        bitmaps[slot] = const_cast<char *>(name);
    } else {
        bitmaps[slot] = kxrlStrDup(name);
    }
}

void KxRlMeshChanges::addClipRegion(const KxDClipRegion3D *region) { clipRegions.add(new KxDClipRegion3D(region)); }

void KxRlMeshChanges::removeClipRegion(int i) {
    if (i < 0 || i >= getClipCount()) return;
    delete static_cast<KxDClipRegion3D *>(clipRegions.remove(i));
}

bool KxRlMeshChanges::anyClipRegionContains(float x, float y, float z) const {
    for (int i = 0; i < getClipCount(); i++) {
        if (getClipRegion(i)->contains(x, y, z)) return true;
    }
    return false;
}

void KxRlMeshChanges::setTexTranslation(float x, float y) {
    texTranslateX = x;
    texTranslateY = y;
    texTranslationSet = true;
}

// ---------------------------------------------------------------------------------------
// KxRlMeshGroupRef

KxRlMeshGroupRef::KxRlMeshGroupRef(KxRlMeshGroup *group)
    : meshGroup(group), meshCount(group->getMeshCount()), groupName(nullptr), groupChanges(new KxRlMeshChanges()),
      meshChanges(nullptr) {
    if (meshCount > 0) {
        meshChanges = new KxRlMeshChanges *[meshCount]();
        for (int i = 0; i < meshCount; i++) meshChanges[i] = new KxRlMeshChanges();
    }
}

KxRlMeshGroupRef::KxRlMeshGroupRef(KxRlMeshFile *file, int group) : KxRlMeshGroupRef(file->getMeshGroup(group)) {}

KxRlMeshGroupRef::~KxRlMeshGroupRef() {
    delete[] groupName;
    delete groupChanges;
    for (int i = 0; i < meshCount; i++) delete meshChanges[i];
    delete[] meshChanges;
}

void KxRlMeshGroupRef::setGroupName(const char *name) {
    delete[] groupName;
    groupName = name ? kxrlStrDup(name) : nullptr;
}

const char *KxRlMeshGroupRef::getGroupName() const { return groupName ? groupName : meshGroup->getName(); }

void KxRlMeshGroupRef::activateMesh(int mesh, bool active) { meshChanges[mesh]->setActive(active); }

void KxRlMeshGroupRef::activateAllMeshes(bool active) {
    for (int i = 0; i < meshCount; i++) meshChanges[i]->setActive(active);
}

bool KxRlMeshGroupRef::getMeshActive(int mesh) const { return meshChanges[mesh]->isActive(); }

void KxRlMeshGroupRef::setBitmap(int mesh, int slot, const char *name) { meshChanges[mesh]->setBitmap(slot, name); }

const char *KxRlMeshGroupRef::getBitmap(int mesh, int slot) const {
    const char *override = meshChanges[mesh]->getBitmap(slot);
    if (override) return override;
    KxRlMeshMaterial *material = meshGroup->getMesh(mesh)->getMaterial();
    KxRlMeshBitmap *bitmap = material ? material->getBitmap(slot) : nullptr;
    if (!bitmap) return nullptr;
    return bitmapReplacements.resolve(bitmap->getFilename());
}

void KxRlMeshGroupRef::addClipRegion(const KxDClipRegion3D *region) { groupChanges->addClipRegion(region); }

void KxRlMeshGroupRef::addClipRegion(float x1, float x2, float y1, float y2, float z1, float z2) {
    KxDClipRegion3D region(x1, x2, y1, y2, z1, z2);
    groupChanges->addClipRegion(&region);
}

void KxRlMeshGroupRef::removeClipRegion(int i) { groupChanges->removeClipRegion(i); }

bool KxRlMeshGroupRef::isInClipRegions(float x, float y, float z) const {
    return getClipCount() == 0 || groupChanges->anyClipRegionContains(x, y, z);
}

void KxRlMeshGroupRef::addClipRegion(int mesh, const KxDClipRegion3D *region) {
    meshChanges[mesh]->addClipRegion(region);
}

void KxRlMeshGroupRef::addClipRegion(int mesh, float x1, float x2, float y1, float y2, float z1, float z2) {
    KxDClipRegion3D region(x1, x2, y1, y2, z1, z2);
    meshChanges[mesh]->addClipRegion(&region);
}

void KxRlMeshGroupRef::removeClipRegion(int mesh, int i) { meshChanges[mesh]->removeClipRegion(i); }

bool KxRlMeshGroupRef::isInClipRegions(int mesh, float x, float y, float z) const {
    if (!needsClipping(mesh)) return true;
    return groupChanges->anyClipRegionContains(x, y, z) || meshChanges[mesh]->anyClipRegionContains(x, y, z);
}

void KxRlMeshGroupRef::addTransform(const KxDMatTransform *t) { groupChanges->getTransformList()->addTransform(t); }

void KxRlMeshGroupRef::addTranslation(float x, float y, float z) {
    groupChanges->getTransformList()->addTranslation(x, y, z);
}

void KxRlMeshGroupRef::addScaling(float f) { groupChanges->getTransformList()->addScaling(f); }

void KxRlMeshGroupRef::addScaling(float x, float y, float z) { groupChanges->getTransformList()->addScaling(x, y, z); }

void KxRlMeshGroupRef::addRotation(_KxDRotationAxis axis, float angle) {
    groupChanges->getTransformList()->addRotation(axis, angle);
}

void KxRlMeshGroupRef::rollbackTransform(int n) { groupChanges->getTransformList()->rollbackTransform(n); }

int KxRlMeshGroupRef::getTransformCount() const { return groupChanges->getTransformList()->getTransformCount(); }

KxDMatTransform *KxRlMeshGroupRef::getTransform(int i) const { return groupChanges->getTransformList()->getTransform(i); }

KxDMatTransform *KxRlMeshGroupRef::getFinalTransform() const {
    return groupChanges->getTransformList()->getFinalTransform();
}

void KxRlMeshGroupRef::addTransform(int mesh, const KxDMatTransform *t) {
    meshChanges[mesh]->getTransformList()->addTransform(t);
}

void KxRlMeshGroupRef::addTranslation(int mesh, float x, float y, float z) {
    meshChanges[mesh]->getTransformList()->addTranslation(x, y, z);
}

void KxRlMeshGroupRef::addScaling(int mesh, float f) { meshChanges[mesh]->getTransformList()->addScaling(f); }

void KxRlMeshGroupRef::addScaling(int mesh, float x, float y, float z) {
    meshChanges[mesh]->getTransformList()->addScaling(x, y, z);
}

void KxRlMeshGroupRef::addRotation(int mesh, _KxDRotationAxis axis, float angle) {
    meshChanges[mesh]->getTransformList()->addRotation(axis, angle);
}

void KxRlMeshGroupRef::rollbackTransform(int mesh, int n) {
    meshChanges[mesh]->getTransformList()->rollbackTransform(n);
}

int KxRlMeshGroupRef::getTransformCount(int mesh) const {
    return meshChanges[mesh]->getTransformList()->getTransformCount();
}

KxDMatTransform *KxRlMeshGroupRef::getTransform(int mesh, int i) const {
    return meshChanges[mesh]->getTransformList()->getTransform(i);
}

KxDMatTransform *KxRlMeshGroupRef::getFinalTransform(int mesh) const {
    return meshChanges[mesh]->getTransformList()->getFinalTransform();
}

KxDMatTransform *KxRlMeshGroupRef::getMeshTransform(int mesh) const {
    // The mesh's own list replaces the group's; the two are not combined.
    return getTransformCount(mesh) > 0 ? getFinalTransform(mesh) : getFinalTransform();
}

void KxRlMeshGroupRef::setTexTranslation(float x, float y) {
    groupChanges->setTexTranslation(x, y);
}

void KxRlMeshGroupRef::setTexTranslation(int mesh, float x, float y) { meshChanges[mesh]->setTexTranslation(x, y); }

void KxRlMeshGroupRef::clearTexTranslation(int mesh) { meshChanges[mesh]->clearTexTranslation(); }

float KxRlMeshGroupRef::getTexTranslateX(int mesh) const {
    const KxRlMeshChanges *changes = meshChanges[mesh];
    return changes->isTexTranslationSet() ? changes->getTexTranslateX() : groupChanges->getTexTranslateX();
}

float KxRlMeshGroupRef::getTexTranslateY(int mesh) const {
    const KxRlMeshChanges *changes = meshChanges[mesh];
    return changes->isTexTranslationSet() ? changes->getTexTranslateY() : groupChanges->getTexTranslateY();
}
