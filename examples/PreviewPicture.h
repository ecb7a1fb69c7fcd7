#ifndef KX_EXAMPLES_PREVIEWPICTURE_H
#define KX_EXAMPLES_PREVIEWPICTURE_H

// Pictures of geometry for the developer previews: triangles seen from a direction (by default
// from the front-left and above: 35 degrees about Z, 30 degrees from above), orthographic,
// flat shaded, z-buffered and scaled to fit the picture; written as PNG files.

#include "KxDVector.h"

#include <string>
#include <vector>

struct PreviewTriangle {
    float p[3][3];         // world positions of the corners
    unsigned char rgb[3];  // base colour
    float shade;           // 0..1, multiplies the colour
    float checker;         // > 0: darken every other cell of a grid of this many cells per unit of uv
    float uv[3][2];        // per corner, for the checker
};

// Where the viewer stands: turned `yaw` radians about Z from the front (looking along +Y), and
// `pitch` radians above the ground plane.
struct PreviewView {
    float yaw;
    float pitch;
};
constexpr PreviewView kPreviewAngled = {0.61f, 0.52f};
constexpr PreviewView kPreviewFromAbove = {0.0f, 1.2f};   // nearly straight down, the front at the bottom
constexpr PreviewView kPreviewFromFront = {0.0f, 0.15f};  // level with the model, a little above

// Colour `index` of a small palette of light, distinct colours (cycling).
void previewColour(int index, unsigned char rgb[3]);

// The flat shade of the triangle a, b, c under the previews' light, lit from either side.
float previewShade(const _KxDVector3D *a, const _KxDVector3D *b, const _KxDVector3D *c);

// Whether the triangle a, b, c, wound counter-clockwise round its front (right-hand rule),
// shows its front to the viewer.
bool previewFacesViewer(const _KxDVector3D *a, const _KxDVector3D *b, const _KxDVector3D *c,
                        PreviewView view = kPreviewAngled);

// The picture of the triangles, `width` x `height` 8-bit RGB pixels on a light background.
std::vector<unsigned char> renderPreview(const std::vector<PreviewTriangle> &triangles, int width, int height,
                                         PreviewView view = kPreviewAngled);

// Writes an 8-bit RGB picture as a PNG file; false when the file cannot be written.
bool writePng(const std::string &path, int width, int height, const std::vector<unsigned char> &rgb);

#endif
