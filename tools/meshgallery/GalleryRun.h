#ifndef KX_MESHGALLERY_GALLERYRUN_H
#define KX_MESHGALLERY_GALLERYRUN_H

// One run of meshgallery: find every mesh file named, read and draw them on several threads,
// and write the gallery (index.html, a page and pictures per mesh file, catalogue.json, the
// style sheet, the script and the state file) or, with -json, the catalogue alone.

#include "GalleryMesh.h"

#include <string>
#include <vector>

struct GalleryOptions {
    std::vector<std::string> names;  // mesh names and patterns, as given
    std::string folder = "gallery";
    std::string jsonFile;            // -json: only the catalogue, into this file
    int threads = 0;                 // 0: one per processor
    GalleryCommandContext context;
};

// Runs the gallery with the frame's content registry; failures are reported through the frame.
void runGallery(const GalleryOptions &options);

#endif
