#ifndef KX_MESHGALLERY_GALLERYMESH_H
#define KX_MESHGALLERY_GALLERYMESH_H

// One mesh file of the gallery as the pages and the catalogue name it: where it was found
// and how big it is, and, when it could not be read, why.

#include <cstdint>
#include <string>
#include <vector>

// Where a mesh file was found: kind is "newdata", "content", "game" or "archive"; path the
// source's folder or the archive file, absolute, in the system's own form.
struct MeshSource {
    std::string kind;
    std::string path;
};

struct GalleryMesh {
    std::string name;  // as named on the command line, or as a pattern named it
    std::string stem;  // pageStem(name)
    MeshSource source;
    uint64_t size = 0;
    std::string damaged;  // why it could not be read; "" when it was read
};

// What the command lines offered on the pages carry besides the mesh name: the -newdata
// folders of the run, so that the tools find the same file.
struct GalleryCommandContext {
    std::vector<std::string> newDataFolders;
};

// "-newdata folder <path>", "content folder <path>", "game folder <path>", "archive <path>".
std::string describeMeshSource(const MeshSource &source);

#endif
