#ifndef KX_MESHGALLERY_GALLERYMODEL_H
#define KX_MESHGALLERY_GALLERYMODEL_H

// The model of a mesh page's 3D view, written beside the page as a classic script (model.js in
// the file's picture folder), since browsers fetch no files from file://. The script sets
// window.meshGalleryModel to
//   {"glb": "<the glTF binary that propbridge export writes, base64>",
//    "parts": [{"group": g, "mesh": m, "colour": [r, g, b], "objects": [first vertex, ...],
//               "runs": [vertex, object, vertex, object, ...]}, ...]}
// with one part per glTF primitive, in the model's order: the group and mesh it is, its colour
// in the pictures, the first vertex of each of its separate objects (in the page's order), and
// the object of every vertex as runs (from each run's vertex on, up to the next run's, the
// vertices belong to that object). Nothing in it comes from a file as text: names travel only
// inside the glTF binary.

#include "MeshSummary.h"

#include <string>

class KxRlMeshFile;

// The script for `file` (whose summary is `summary`). Throws IOException when the model
// cannot be made.
std::string galleryModelScript(const KxRlMeshFile &file, const FileSummary &summary);

// `bytes` in base64 (RFC 4648, with padding).
std::string base64(const std::string &bytes);

#endif
