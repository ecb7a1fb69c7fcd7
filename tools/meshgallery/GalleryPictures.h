#ifndef KX_MESHGALLERY_GALLERYPICTURES_H
#define KX_MESHGALLERY_GALLERYPICTURES_H

// The pictures of one mesh file, drawn into the file's picture folder: the whole from the
// front, from above and at an angle (large), a card picture for the index, each group and
// each mesh, and each separate object drawn alone and shown in place in the whole. A picture
// that would be the same as another (a group of one mesh, the object of a one-object mesh)
// is not drawn twice: the pages name the one that exists. The objects' pictures, small and
// many, lie side by side on a few sheets ("objects0.png", ...) instead of a file each: a game
// of a thousand mesh files would otherwise be tens of thousands of files to write.

#include "MeshSummary.h"
#include "PreviewCanvas.h"

#include <string>
#include <vector>

struct GalleryPicture {
    std::string file;  // name within the mesh file's picture folder
    int width;
    int height;
    // A picture on a sheet: where it lies on it (the page shows that part of the file).
    bool onSheet = false;
    int x = 0;
    int y = 0;
};

// The three large views, in page order: front, above, angled.
GalleryPicture viewPicture(int view);
constexpr int kGalleryViews = 3;
GalleryPicture cardPicture();
GalleryPicture groupPicture(const FileSummary &summary, int group);
GalleryPicture meshPicture(int group, int mesh);
GalleryPicture objectPicture(const FileSummary &summary, int group, int mesh, int object);
GalleryPicture objectInPlacePicture(const FileSummary &summary, int group, int mesh, int object);

// Draws every picture of the file into `folder` (which exists). `triangles` are the file's
// triangles as meshFileTriangles gives them. Throws an IOException when a picture cannot be
// written.
void drawGalleryPictures(const FileSummary &summary, const std::vector<PreviewTriangle> &triangles,
                         const std::string &folder);

#endif
