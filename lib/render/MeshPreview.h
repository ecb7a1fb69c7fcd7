#ifndef KX_RENDER_MESHPREVIEW_H
#define KX_RENDER_MESHPREVIEW_H

// The triangles of MSH meshes as the previews draw them: every triangle as stored (group
// matrices are not applied), flat shaded, each mesh coloured by its base texture's name, so
// that a mesh has the same colour in every picture.

#include "PreviewCanvas.h"

#include <vector>

class KxRlMesh;
class KxRlMeshFile;

// A hue and a brightness from a hash of the texture name (ASCII case ignored); grey for no
// name (null or empty).
void previewTextureColour(const char *textureName, unsigned char rgb[3]);

// The colour of the mesh's base texture (slot 0 of its material).
void previewMeshColour(const KxRlMesh *mesh, unsigned char rgb[3]);

// Appends the triangles of `mesh`. With `cull`, triangles whose front faces away from a
// viewer at `view` are left out, as the game leaves them out (a room shows its inside).
void appendMeshTriangles(const KxRlMesh *mesh, std::vector<PreviewTriangle> *out, bool cull = false,
                         PreviewView view = kPreviewAngled);

// The triangles of every mesh of every group, in file order.
std::vector<PreviewTriangle> meshFileTriangles(const KxRlMeshFile &file, bool cull = false,
                                               PreviewView view = kPreviewAngled);

#endif
