#ifndef KX_MESHGALLERY_CATALOGUEENTRY_H
#define KX_MESHGALLERY_CATALOGUEENTRY_H

// The catalogue (catalogue.json) that scripts read: {"meshes": [entry, ...]} in name order.
// An entry's keys, in this order: name, source {kind, path}, size, damaged (null or the
// reason), box ([minx, miny, minz, maxx, maxy, maxz] or null when empty), groups [{name,
// meshes [{textures [4 names, "" for none], vertices, triangles, objects [{first_vertex,
// vertices, triangles, box, carved_triangles}], material (the 24 bytes as hex), alpha}]}];
// then, in a gallery, page (the mesh file's page, relative to the gallery folder).

#include "GalleryMesh.h"
#include "MeshSummary.h"

#include <string>

// The entry of one mesh file (summary null when it is damaged); `withPage` adds the page key.
std::string catalogueEntry(const GalleryMesh &mesh, const FileSummary *summary, bool withPage);

extern const char *const kCatalogueHead;  // up to the first entry
extern const char *const kCatalogueSeparator;
extern const char *const kCatalogueTail;

#endif
