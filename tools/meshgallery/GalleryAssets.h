#ifndef KX_MESHGALLERY_GALLERYASSETS_H
#define KX_MESHGALLERY_GALLERYASSETS_H

// The style sheet and the scripts of the gallery, written beside index.html. The scripts are
// classic scripts (no modules, no framework): the index's search and sorting and the copy
// buttons of the command lines on the mesh pages; and the mesh pages' 3D view.

extern const char *const kGalleryCss;
extern const char *const kGalleryJs;
// The mesh pages' 3D view (viewer.js of the sources, built into the program so that it goes
// wherever the program goes).
extern const char kGalleryViewerJs[];

#endif
