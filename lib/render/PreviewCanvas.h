#ifndef KX_RENDER_PREVIEWCANVAS_H
#define KX_RENDER_PREVIEWCANVAS_H

// Pictures of geometry: triangles seen from a direction (by default from the front-left and
// above: 35 degrees about Z, 30 degrees from above), orthographic, flat shaded, z-buffered,
// with a darker line along every edge and soft (anti-aliased) outlines, scaled to fit. The
// pictures of one input are the same bytes on every platform and in every thread.

#include "KxDVector.h"

#include <cstddef>
#include <cstdint>
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

// The view's turn: a world point to picture x, picture y (rows grow downwards) and the
// distance from the eye, before scaling.
struct PreviewProjection {
    float cosYaw, sinYaw, cosPitch, sinPitch;
    explicit PreviewProjection(PreviewView view);
    void apply(const float *p, float *out) const {
        float x = p[0] * cosYaw + p[1] * sinYaw;
        float depth = -p[0] * sinYaw + p[1] * cosYaw;
        float up = p[2] * cosPitch + depth * sinPitch;
        out[0] = x;
        out[1] = -up;
        out[2] = depth * cosPitch - p[2] * sinPitch;
    }
};

// Colour `index` of a small palette of light, distinct colours (cycling).
void previewColour(int index, unsigned char rgb[3]);

// The flat shade of the triangle a, b, c under the previews' light, lit from either side.
float previewShade(const _KxDVector3D *a, const _KxDVector3D *b, const _KxDVector3D *c);

// Whether the triangle a, b, c, wound counter-clockwise round its front (right-hand rule),
// shows its front to the viewer.
bool previewFacesViewer(const _KxDVector3D *a, const _KxDVector3D *b, const _KxDVector3D *c,
                        PreviewView view = kPreviewAngled);

// One picture being drawn. It is drawn at twice its size in each direction and averaged down
// when taken (picture()), which softens every outline. The framing (which world region fills
// the picture) is set once, before drawing, by frame(); everything drawn after uses it.
class PreviewCanvas {
public:
    // `width` x `height` pixels (each 1 to 8192) on a light background.
    PreviewCanvas(int width, int height, PreviewView view = kPreviewAngled);

    // Frames the box {minX, minY, minZ, maxX, maxY, maxZ}: its projection fills 90 % of the
    // picture, centred. An empty or not-finite box leaves the framing as it is.
    void frame(const float box[6]);
    // Frames the triangles' corners (nothing for an empty list).
    void frame(const std::vector<PreviewTriangle> &triangles);

    // Draws the triangles (world co-ordinates), nearest wins.
    void draw(const std::vector<PreviewTriangle> &triangles);
    // Draws triangles `first` .. `first + count - 1` of the list.
    void draw(const std::vector<PreviewTriangle> &triangles, size_t first, size_t count);
    // Draws the listed triangles (indices into `triangles`) over what is there in `rgb`: where
    // a triangle is the nearest surface it shows in that colour, shaded; where something
    // nearer hides it, it shows through, blended over it, so that a part inside another stays
    // visible. Changes no depth.
    void highlight(const std::vector<PreviewTriangle> &triangles, const std::vector<uint32_t> &which,
                   const unsigned char rgb[3]);
    // Every colour drawn so far turned towards the background by `amount` (0..1), for a
    // faded whole against which a highlight stands out.
    void fade(float amount);

    // The picture: width x height 8-bit RGB pixels, row by row.
    std::vector<unsigned char> picture() const;

    int width() const { return outWidth; }
    int height() const { return outHeight; }

private:
    struct ScreenTriangle;
    // Projected bounds that fill 90 % of the picture, centred (not-finite bounds are ignored).
    void fit(const float lowest[2], const float highest[2]);
    bool toScreen(const PreviewTriangle &t, ScreenTriangle *s) const;
    template <typename Accept, typename Paint>
    void rasterise(const ScreenTriangle &s, Accept accept, Paint paint);
    void drawOne(const PreviewTriangle &t);

    int outWidth, outHeight;
    int sampleWidth, sampleHeight;  // twice the picture's size
    PreviewProjection projection;
    float low[2] = {0, 0};
    float scale = 1.0f;
    float offset[2] = {0, 0};
    std::vector<unsigned char> samples;  // RGB
    std::vector<float> depth;
};

// The triangles framed and drawn on a `width` x `height` picture, which is returned as RGB.
std::vector<unsigned char> renderPreview(const std::vector<PreviewTriangle> &triangles, int width, int height,
                                         PreviewView view = kPreviewAngled);

#endif
