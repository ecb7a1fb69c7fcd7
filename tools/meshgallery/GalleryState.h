#ifndef KX_MESHGALLERY_GALLERYSTATE_H
#define KX_MESHGALLERY_GALLERYSTATE_H

// The small state file a gallery keeps in its folder (meshgallery.state): for each mesh file
// drawn, where its source was found and that source's size and time, so that the next run
// draws again only what changed. It also holds the run's settings that shape the pages (the
// program's version, the -newdata folders): with other settings everything is drawn again.
// A state file that cannot be read whole (cut short, another format) counts as none.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct GalleryStateEntry {
    std::string name;
    std::string stem;
    std::string sourceKind;
    std::string sourcePath;
    std::string filePath;  // the file read (an archived file's extracted copy)
    uint64_t size = 0;
    int64_t time = 0;

    bool sameSource(const GalleryStateEntry &other) const {
        return stem == other.stem && sourceKind == other.sourceKind && sourcePath == other.sourcePath &&
               filePath == other.filePath && size == other.size && time == other.time;
    }
};

class GalleryState {
public:
    static const char *const kFileName;

    // Reads the state file at `path`; false (and an empty state) when there is none, it
    // cannot be read whole, or its settings differ from `settings`.
    bool read(const std::string &path, const std::string &settings);
    // Writes the entries and settings; throws IOException when the file cannot be written.
    static void write(const std::string &path, const std::string &settings,
                      const std::vector<GalleryStateEntry> &entries);

    // The entry of the mesh file `name`, null when the last run did not draw it.
    const GalleryStateEntry *find(const std::string &name) const;
    const std::map<std::string, GalleryStateEntry> &entries() const { return byName; }

private:
    std::map<std::string, GalleryStateEntry> byName;
};

#endif
