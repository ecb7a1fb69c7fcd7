#ifndef KX_CONTENT_KXRLCONTENTRESULTS_H
#define KX_CONTENT_KXRLCONTENTRESULTS_H

#include <memory>
#include <string_view>
#include <unordered_set>
#include <vector>

class KxRlGameFiles;

// The files found by a pattern search over several sources. Each path is keyed by its part
// relative to the root folder of the source that found it; only the first path of each key is
// kept, so a file in an earlier source hides the same relative path in later ones.
class KxRlContentResults {
public:
    KxRlContentResults() = default;
    KxRlContentResults(const KxRlContentResults &) = delete;
    KxRlContentResults &operator=(const KxRlContentResults &) = delete;

    // Takes ownership of `path` (allocated with new[]). Keeps it and returns true when its
    // relative path is new; otherwise frees it and returns false.
    bool addContent(const KxRlGameFiles *source, char *path);

    int getContentCount() const { return static_cast<int>(files.size()); }
    // Unchecked index, 0 <= i < getContentCount().
    const char *getFilename(int i) const { return files[static_cast<size_t>(i)].path.get(); }
    // Removes the i-th path and its key, and hands the text (delete[]) to the caller, so that
    // the same relative path may be added again. Throws IndexOutOfBoundsException for a bad i.
    char *removeContent(int i);

private:
    struct Found {
        std::unique_ptr<char[]> path;
        std::string_view key;  // the relative part of `path`, pointing into it
    };
    std::vector<Found> files;                   // in the order found
    std::unordered_set<std::string_view> seen;  // the keys of `files`
};

#endif
