#ifndef KX_MESH_KXRLBITMAPREPLACEMENTS_H
#define KX_MESH_KXRLBITMAPREPLACEMENTS_H

#include <cstddef>
#include <vector>

// The one constant empty text that marks a texture slot switched off (the word "null" on a
// command line). Compared by pointer, never by content, and never freed.
extern const char *const KxRlNoBitmap;

// One texture replacement: a texture named `oldName` (exactly, case-sensitively) becomes
// `newName`, a name or KxRlNoBitmap (switched off). Neither text is owned.
struct KxRlBitmapReplacement {
    const char *oldName;
    const char *newName;
};

// The texture replacements of one level, in the order given; the first pair for a name wins.
//
// Two levels keep such a list, and both look names up through `resolve`. A group reference's
// list applies when a mesh's texture name is read (KxRlMeshGroupRef::getBitmap, after the
// mesh's own override, which it never changes); the rebuilt prop's list applies when the file
// is written, to the name that reading gave. So for a name that both lists replace the
// group's pair wins, and the prop's list then sees the group's new name, not the old one.
class KxRlBitmapReplacements {
public:
    // Appends a pair; both texts stay the caller's and must outlive the list.
    void add(const char *oldName, const char *newName);

    // The new name of the first pair whose old name equals `name`; else `name` itself. Null
    // and KxRlNoBitmap are no names and come back unchanged.
    const char *resolve(const char *name) const;

    int getCount() const { return static_cast<int>(pairs.size()); }
    // Pair i, 0 <= i < getCount().
    const KxRlBitmapReplacement &get(int i) const { return pairs[static_cast<std::size_t>(i)]; }

private:
    std::vector<KxRlBitmapReplacement> pairs;
};

#endif
