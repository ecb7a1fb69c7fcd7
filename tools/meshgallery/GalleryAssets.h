#ifndef KX_MESHGALLERY_GALLERYASSETS_H
#define KX_MESHGALLERY_GALLERYASSETS_H

// The style sheet and the one script of the gallery, written beside index.html. The script is
// a classic script (no modules, no framework): the index's search and sorting, and the copy
// buttons of the command lines on the mesh pages.

extern const char *const kGalleryCss;
extern const char *const kGalleryJs;

#endif
