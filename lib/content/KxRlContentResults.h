#ifndef KX_CONTENT_KXRLCONTENTRESULTS_H
#define KX_CONTENT_KXRLCONTENTRESULTS_H

#include "ArrayList.h"
#include "HashMap.h"

class KxRlGameFiles;

// The files found by a pattern search over several sources. Each path is keyed by its part
// relative to the root folder of the source that found it; only the first path of each key is
// kept, so a file in an earlier source hides the same relative path in later ones.
class KxRlContentResults {
public:
    KxRlContentResults();
    // Frees every path still held.
    ~KxRlContentResults();
    KxRlContentResults(const KxRlContentResults &) = delete;
    KxRlContentResults &operator=(const KxRlContentResults &) = delete;

    // Takes ownership of `path` (allocated with new[]). Keeps it and returns true when its
    // relative path is new; otherwise frees it and returns false.
    bool addContent(const KxRlGameFiles *source, char *path);

    int getContentCount() const { return static_cast<int>(files.getLength()); }
    // Unchecked index, 0 <= i < getContentCount().
    const char *getFilename(int i) const { return static_cast<const char *>(files.get(i)); }
    // Removes the i-th path and its key, and hands the text (delete[]) to the caller, so that
    // the same relative path may be added again. Throws IndexOutOfBoundsException for a bad i.
    char *removeContent(int i);

private:
    ArrayList files;  // owned texts, in the order found
    HashMap seen;     // relative path (pointing into the owned text) -> the same text
};

#endif
