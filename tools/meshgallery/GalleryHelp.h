#ifndef KX_MESHGALLERY_GALLERYHELP_H
#define KX_MESHGALLERY_GALLERYHELP_H

extern const char *const kMeshgalleryHelp;

#endif
