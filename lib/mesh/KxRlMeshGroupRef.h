#ifndef KX_MESH_KXRLMESHGROUPREF_H
#define KX_MESH_KXRLMESHGROUPREF_H

#include "ArrayList.h"
#include "KxDClipRegion.h"
#include "KxRlBitmapReplacements.h"
#include "KxDMatTransform.h"
#include "KxDTransformList.h"
#include "KxDVector.h"

class KxRlMeshFile;
class KxRlMeshGroup;

// The changes a group reference keeps once for the whole group and once per mesh: whether
// the mesh is written, texture overrides for the four material slots, clip regions,
// transforms and a texture translation. Owns its override texts, regions and transforms.
class KxRlMeshChanges {
public:
    // Active, no overrides, no regions, no transforms, no translation (0, 0, not set).
    KxRlMeshChanges();
    ~KxRlMeshChanges();
    KxRlMeshChanges(const KxRlMeshChanges &) = delete;
    KxRlMeshChanges &operator=(const KxRlMeshChanges &) = delete;

    bool isActive() const { return active; }
    void setActive(bool value) { active = value; }

    // Slot 0 to 3, unchecked: null (no override), KxRlNoBitmap, or the owned copy of a name.
    const char *getBitmap(int slot) const { return bitmaps[slot]; }
    // Frees the previous override (never KxRlNoBitmap), then stores null or KxRlNoBitmap as
    // given, or a copy of any other text.
    void setBitmap(int slot, const char *name);

    // Stores a copy of `region` (min and max ordered on each axis).
    void addClipRegion(const KxDClipRegion3D *region);
    // Deletes region i; an index out of range changes nothing.
    void removeClipRegion(int i);
    int getClipCount() const { return static_cast<int>(clipRegions.getLength()); }
    KxDClipRegion3D *getClipRegion(int i) const { return static_cast<KxDClipRegion3D *>(clipRegions.get(i)); }
    // True when one of the regions contains the point (boundaries included); false with no
    // region at all.
    bool anyClipRegionContains(float x, float y, float z) const;

    KxDTransformList *getTransformList() { return &transforms; }
    const KxDTransformList *getTransformList() const { return &transforms; }

    bool isTexTranslationSet() const { return texTranslationSet; }
    float getTexTranslateX() const { return texTranslateX; }
    float getTexTranslateY() const { return texTranslateY; }
    // Stores the values and marks them set.
    void setTexTranslation(float x, float y);
    // Unmarks them (the values stay).
    void clearTexTranslation() { texTranslationSet = false; }

private:
    bool active;
    char *bitmaps[4];
    ArrayList clipRegions;
    KxDTransformList transforms;
    bool texTranslationSet;
    float texTranslateX;
    float texTranslateY;
};

// How a tool selects a mesh group for output and what it changes there, without touching
// the model: active meshes, a new group name, texture replacements for the group, and per
// group and per mesh texture overrides, clip regions, transforms and texture translations.
// Points at the group (not owned), which must outlive the reference. Mesh numbers given to
// the methods are those of the group and are not checked.
class KxRlMeshGroupRef {
public:
    // Every mesh active, no name, no replacements, no regions, no transforms, no translation.
    explicit KxRlMeshGroupRef(KxRlMeshGroup *group);
    KxRlMeshGroupRef(KxRlMeshFile *file, int group);
    ~KxRlMeshGroupRef();
    KxRlMeshGroupRef(const KxRlMeshGroupRef &) = delete;
    KxRlMeshGroupRef &operator=(const KxRlMeshGroupRef &) = delete;

    KxRlMeshGroup *getMeshGroup() const { return meshGroup; }
    // The group's mesh count when the reference was made.
    int getMeshCount() const { return meshCount; }

    // Stores a copy; null removes the override.
    void setGroupName(const char *name);
    // The override when set, else the group's name.
    const char *getGroupName() const;

    void activateMesh(int mesh, bool active);
    void activateAllMeshes(bool active);
    bool getMeshActive(int mesh) const;

    // Appends one whole-group replacement pair, applied when a name is read (getBitmap); both
    // texts stay the caller's and must outlive the reference. `newName` may be KxRlNoBitmap.
    void replaceBitmap(const char *oldName, const char *newName) { bitmapReplacements.add(oldName, newName); }
    const KxRlBitmapReplacements &getBitmapReplacements() const { return bitmapReplacements; }
    // The mesh's override for material slot 0 to 3 (see KxRlMeshChanges::setBitmap).
    void setBitmap(int mesh, int slot, const char *name);
    // The texture name the mesh uses in that slot: the mesh's override when set (KxRlNoBitmap
    // included); else null when the material's slot is empty; else the replacement of the
    // first group pair whose old name equals the material's name exactly; else that name.
    const char *getBitmap(int mesh, int slot) const;

    // Group clip regions.
    void addClipRegion(const KxDClipRegion3D *region);  // stores a copy
    // Both ends of each axis, each pair in either order.
    void addClipRegion(float x1, float x2, float y1, float y2, float z1, float z2);
    void removeClipRegion(int i);
    int getClipCount() const { return groupChanges->getClipCount(); }
    KxDClipRegion3D *getClipRegion(int i) const { return groupChanges->getClipRegion(i); }
    // True when the group has no region, or one of its regions contains the point.
    bool isInClipRegions(const _KxDVector3D *v) const { return isInClipRegions(v->x, v->y, v->z); }
    bool isInClipRegions(float x, float y, float z) const;

    // Mesh clip regions.
    void addClipRegion(int mesh, const KxDClipRegion3D *region);
    void addClipRegion(int mesh, float x1, float x2, float y1, float y2, float z1, float z2);
    void removeClipRegion(int mesh, int i);
    int getClipCount(int mesh) const { return meshChanges[mesh]->getClipCount(); }
    KxDClipRegion3D *getClipRegion(int mesh, int i) const { return meshChanges[mesh]->getClipRegion(i); }
    // With no region on the group and none on the mesh, true; otherwise true when one of the
    // group's or the mesh's regions contains the point (group regions tested first).
    bool isInClipRegions(int mesh, const _KxDVector3D *v) const { return isInClipRegions(mesh, v->x, v->y, v->z); }
    bool isInClipRegions(int mesh, float x, float y, float z) const;
    // True when the group or the mesh has at least one clip region.
    bool needsClipping(int mesh) const { return getClipCount() > 0 || getClipCount(mesh) > 0; }

    // Group transforms, forwarded to the group's transform list (angles in radians).
    void addTransform(const KxDMatTransform *t);
    void addTranslation(float x, float y, float z);
    void addScaling(float f);
    void addScaling(float x, float y, float z);
    void addRotation(_KxDRotationAxis axis, float angle);
    void rollbackTransform(int n);
    int getTransformCount() const;
    KxDMatTransform *getTransform(int i) const;
    KxDMatTransform *getFinalTransform() const;

    // Mesh transforms, forwarded to that mesh's list. A mesh with transforms of its own is
    // moved by them alone; the group's list is not combined with them.
    void addTransform(int mesh, const KxDMatTransform *t);
    void addTranslation(int mesh, float x, float y, float z);
    void addScaling(int mesh, float f);
    void addScaling(int mesh, float x, float y, float z);
    void addRotation(int mesh, _KxDRotationAxis axis, float angle);
    void rollbackTransform(int mesh, int n);
    int getTransformCount(int mesh) const;
    KxDMatTransform *getTransform(int mesh, int i) const;
    KxDMatTransform *getFinalTransform(int mesh) const;
    // True when the group or the mesh has at least one transform.
    bool needsTransform(int mesh) const { return getTransformCount() > 0 || getTransformCount(mesh) > 0; }
    // The transform that moves the mesh: its own final transform when it has transforms,
    // else the group's final transform.
    KxDMatTransform *getMeshTransform(int mesh) const;

    // Texture translation of the group, and of a mesh (marked set, overriding the group's).
    void setTexTranslation(float x, float y);
    void setTexTranslation(int mesh, float x, float y);
    void clearTexTranslation(int mesh);
    bool isTexTranslationSet(int mesh) const { return meshChanges[mesh]->isTexTranslationSet(); }
    float getTexTranslateX() const { return groupChanges->getTexTranslateX(); }
    float getTexTranslateY() const { return groupChanges->getTexTranslateY(); }
    // The mesh's values when marked set, else the group's.
    float getTexTranslateX(int mesh) const;
    float getTexTranslateY(int mesh) const;

    // The change records themselves (owned by the reference).
    KxRlMeshChanges *getGroupChanges() const { return groupChanges; }
    KxRlMeshChanges *getMeshChanges(int mesh) const { return meshChanges[mesh]; }

private:
    KxRlMeshGroup *meshGroup;
    int meshCount;
    char *groupName;
    KxRlBitmapReplacements bitmapReplacements;
    KxRlMeshChanges *groupChanges;
    KxRlMeshChanges **meshChanges;
};

#endif
