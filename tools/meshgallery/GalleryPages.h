#ifndef KX_MESHGALLERY_GALLERYPAGES_H
#define KX_MESHGALLERY_GALLERYPAGES_H

// The gallery's HTML: the index (one card per mesh file) and one page per mesh file. Pages
// work from file:// with no network: they name only the gallery's own files (gallery.css,
// gallery.js, viewer.js, the pictures, the 3D view's model). Hooks that tests and user scripts may rely on: each card carries
// data-mesh="<name>", the index's one input[type=search] filters the cards, and each object
// entry of a mesh page carries data-object="<group> <mesh> <first vertex>".

#include "GalleryMesh.h"
#include "MeshSummary.h"

#include <string>

// The index page up to the first card, and after the last.
std::string indexPageHead();
std::string indexPageTail();

// The card of one mesh file (summary null when the file is damaged: the card says why).
std::string meshCard(const GalleryMesh &mesh, const FileSummary *summary);

// The page of one mesh file; it lives in meshes/ of the gallery, its pictures and the model of
// its 3D view (model.js) in meshes/<stem>/.
std::string meshPage(const GalleryMesh &mesh, const FileSummary &summary, const GalleryCommandContext &context);

// The command lines offered for object `object` of mesh `mesh` of group `group`: propcarver
// carving that object alone, centred, and meshlister exporting every object of the file.
std::string propcarverCommand(const GalleryMesh &mesh, const GalleryCommandContext &context, int group, int meshIndex,
                              int firstVertex);
std::string meshlisterCommand(const GalleryMesh &mesh, const GalleryCommandContext &context);

#endif
