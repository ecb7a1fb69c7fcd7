#include "PreviewCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

const unsigned char kPalette[][3] = {{214, 160, 96},  {120, 160, 210}, {150, 200, 120}, {220, 120, 120},
                                     {190, 150, 210}, {230, 210, 110}, {110, 200, 200}, {200, 200, 200}};
const int kPaletteSize = sizeof kPalette / sizeof kPalette[0];
const unsigned char kBackground = 245;
// Samples per picture pixel along each axis.
const int kSampling = 2;
// Samples closer than this to a triangle's edge are darkened: the line between faces.
const float kEdgeWidth = 0.8f * kSampling;
const float kEdgeShade = 0.85f;

void faceNormal(const _KxDVector3D *a, const _KxDVector3D *b, const _KxDVector3D *c, _KxDVector3D *normal) {
    _KxDVector3D ab, ac;
    kxdVecSub(&ab, b, a);
    kxdVecSub(&ac, c, a);
    kxdVecCross(normal, &ab, &ac);
}

unsigned char scaled(unsigned char colour, float factor) {
    return static_cast<unsigned char>(std::min(255.0f, static_cast<float>(colour) * factor));
}

}  // namespace

void previewColour(int index, unsigned char rgb[3]) {
    int i = index < 0 ? 0 : index % kPaletteSize;
    for (int c = 0; c < 3; c++) rgb[c] = kPalette[i][c];
}

float previewShade(const _KxDVector3D *a, const _KxDVector3D *b, const _KxDVector3D *c) {
    const float light[3] = {-0.4f, -0.5f, 0.77f};
    _KxDVector3D normal;
    faceNormal(a, b, c, &normal);
    float length = kxdVecLen(&normal);
    float lit = length > 0 ? std::fabs(normal.x * light[0] + normal.y * light[1] + normal.z * light[2]) / length : 0.0f;
    return 0.35f + 0.65f * lit;
}

bool previewFacesViewer(const _KxDVector3D *a, const _KxDVector3D *b, const _KxDVector3D *c, PreviewView view) {
    // The direction in which the distance from the eye grows; a front faces against it.
    _KxDVector3D away, normal;
    kxdVecSet(&away, -std::sin(view.yaw) * std::cos(view.pitch), std::cos(view.yaw) * std::cos(view.pitch),
              -std::sin(view.pitch));
    faceNormal(a, b, c, &normal);
    return kxdVecDot(&normal, &away) < 0.0f;
}

// A triangle in sample co-ordinates, with what rasterising needs worked out once.
struct PreviewCanvas::ScreenTriangle {
    float x[3], y[3], z[3];
    float area;          // twice the signed area
    float edgeLimit[3];  // an edge value below this is within the edge line of that edge
    int x0, x1, y0, y1;  // the samples the triangle may cover
    const PreviewTriangle *source;
};

PreviewCanvas::PreviewCanvas(int width, int height, PreviewView view)
    : outWidth(std::max(1, width)),
      outHeight(std::max(1, height)),
      sampleWidth(outWidth * kSampling),
      sampleHeight(outHeight * kSampling),
      projection(view),
      samples(static_cast<size_t>(sampleWidth) * sampleHeight * 3, kBackground),
      depth(static_cast<size_t>(sampleWidth) * sampleHeight, 1e30f) {}

PreviewProjection::PreviewProjection(PreviewView view)
    : cosYaw(std::cos(view.yaw)), sinYaw(std::sin(view.yaw)), cosPitch(std::cos(view.pitch)),
      sinPitch(std::sin(view.pitch)) {}

void PreviewCanvas::fit(const float lowest[2], const float highest[2]) {
    for (int a = 0; a < 2; a++)
        if (!std::isfinite(lowest[a]) || !std::isfinite(highest[a]) || lowest[a] > highest[a]) return;
    float spanX = std::max(highest[0] - lowest[0], 1e-6f), spanY = std::max(highest[1] - lowest[1], 1e-6f);
    scale = 0.9f * std::min(static_cast<float>(sampleWidth) / spanX, static_cast<float>(sampleHeight) / spanY);
    low[0] = lowest[0];
    low[1] = lowest[1];
    offset[0] = (static_cast<float>(sampleWidth) - scale * (highest[0] - lowest[0])) / 2;
    offset[1] = (static_cast<float>(sampleHeight) - scale * (highest[1] - lowest[1])) / 2;
}

void PreviewCanvas::frame(const float box[6]) {
    for (int i = 0; i < 6; i++)
        if (!std::isfinite(box[i])) return;
    if (box[0] > box[3] || box[1] > box[4] || box[2] > box[5]) return;
    float lowest[2] = {1e30f, 1e30f}, highest[2] = {-1e30f, -1e30f};
    for (int corner = 0; corner < 8; corner++) {
        float p[3] = {box[(corner & 1) ? 3 : 0], box[(corner & 2) ? 4 : 1], box[(corner & 4) ? 5 : 2]}, out[3];
        projection.apply(p, out);
        for (int a = 0; a < 2; a++) {
            lowest[a] = std::min(lowest[a], out[a]);
            highest[a] = std::max(highest[a], out[a]);
        }
    }
    fit(lowest, highest);
}

void PreviewCanvas::frame(const std::vector<PreviewTriangle> &triangles) {
    if (triangles.empty()) return;
    // The box of the corners frames as tightly as the corners would only when seen along an
    // axis; the corners' own projection is framed instead.
    float lowest[2] = {1e30f, 1e30f}, highest[2] = {-1e30f, -1e30f};
    for (const PreviewTriangle &t : triangles)
        for (int k = 0; k < 3; k++) {
            float out[3];
            projection.apply(t.p[k], out);
            for (int a = 0; a < 2; a++) {
                lowest[a] = std::min(lowest[a], out[a]);
                highest[a] = std::max(highest[a], out[a]);
            }
        }
    fit(lowest, highest);
}

bool PreviewCanvas::toScreen(const PreviewTriangle &t, ScreenTriangle *s) const {
    for (int k = 0; k < 3; k++) {
        float out[3];
        projection.apply(t.p[k], out);
        s->x[k] = offset[0] + (out[0] - low[0]) * scale;
        s->y[k] = offset[1] + (out[1] - low[1]) * scale;
        s->z[k] = out[2];
        if (!std::isfinite(s->x[k]) || !std::isfinite(s->y[k]) || !std::isfinite(s->z[k])) return false;
    }
    s->area = (s->x[1] - s->x[0]) * (s->y[2] - s->y[0]) - (s->x[2] - s->x[0]) * (s->y[1] - s->y[0]);
    if (std::fabs(s->area) < 1e-9f) return false;
    for (int k = 0; k < 3; k++) {
        int a = (k + 1) % 3, b = (k + 2) % 3;
        // An edge value is the distance from the edge times the edge's length.
        s->edgeLimit[k] = kEdgeWidth * std::hypot(s->x[b] - s->x[a], s->y[b] - s->y[a]);
    }
    float minX = std::min({s->x[0], s->x[1], s->x[2]}), maxX = std::max({s->x[0], s->x[1], s->x[2]});
    float minY = std::min({s->y[0], s->y[1], s->y[2]}), maxY = std::max({s->y[0], s->y[1], s->y[2]});
    if (maxX < 0 || maxY < 0 || minX > static_cast<float>(sampleWidth) || minY > static_cast<float>(sampleHeight))
        return false;
    s->x0 = std::max(0, static_cast<int>(std::floor(minX)));
    s->x1 = std::min(sampleWidth - 1, static_cast<int>(std::ceil(maxX)));
    s->y0 = std::max(0, static_cast<int>(std::floor(minY)));
    s->y1 = std::min(sampleHeight - 1, static_cast<int>(std::ceil(maxY)));
    s->source = &t;
    return true;
}

// For every sample centre inside the triangle: accept(sample index, depth) says whether it is
// to be painted, and paint(sample index, depth, colour factor) paints it. Each row is walked
// only over the span that the three edges leave open.
template <typename Accept, typename Paint>
void PreviewCanvas::rasterise(const ScreenTriangle &s, Accept accept, Paint paint) {
    const float sign = s.area > 0 ? 1.0f : -1.0f;
    const float invArea = sign / s.area;  // the oriented edge values add up to |area|
    const PreviewTriangle &t = *s.source;
    float dx[3], dy[3];
    for (int k = 0; k < 3; k++) {
        int a = (k + 1) % 3, b = (k + 2) % 3;
        dx[k] = s.x[b] - s.x[a];
        dy[k] = s.y[b] - s.y[a];
    }
    for (int y = s.y0; y <= s.y1; y++) {
        const float py = static_cast<float>(y) + 0.5f;
        // Edge k at sample centre px is dx * (py - ya) - (px - xa) * dy, linear in px: the span
        // where all three are on the inner side.
        float from = static_cast<float>(s.x0), to = static_cast<float>(s.x1) + 1.0f;
        for (int k = 0; k < 3; k++) {
            int a = (k + 1) % 3;
            float slope = -dy[k] * sign, base = (dx[k] * (py - s.y[a]) + s.x[a] * dy[k]) * sign;
            if (slope > 0) from = std::max(from, -base / slope - 1.0f);
            else if (slope < 0) to = std::min(to, -base / slope + 1.0f);
            else if (base < 0) to = from - 1.0f;
        }
        const int xStart = std::max(s.x0, static_cast<int>(std::floor(from)));
        const int xEnd = std::min(s.x1, static_cast<int>(std::ceil(to)));
        if (xStart > xEnd) continue;
        // The edge values at the row's first sample, then stepped along the row (oriented so
        // that inside is where all three are 0 or more).
        const float firstX = static_cast<float>(xStart) + 0.5f;
        float e[3], step[3];
        for (int k = 0; k < 3; k++) {
            int a = (k + 1) % 3;
            e[k] = (dx[k] * (py - s.y[a]) - (firstX - s.x[a]) * dy[k]) * sign;
            step[k] = -dy[k] * sign;
        }
        for (int x = xStart; x <= xEnd; x++, e[0] += step[0], e[1] += step[1], e[2] += step[2]) {
            if (e[0] < 0 || e[1] < 0 || e[2] < 0) continue;
            float z = (e[0] * s.z[0] + e[1] * s.z[1] + e[2] * s.z[2]) * invArea;
            const size_t at = static_cast<size_t>(y) * sampleWidth + x;
            if (!accept(at, z)) continue;
            bool nearEdge = e[0] < s.edgeLimit[0] || e[1] < s.edgeLimit[1] || e[2] < s.edgeLimit[2];
            float factor = t.shade * (nearEdge ? kEdgeShade : 1.0f);
            if (t.checker > 0) {
                // The view is orthographic, so screen weights interpolate uv exactly.
                float w[3] = {e[0] * invArea, e[1] * invArea, e[2] * invArea};
                float u = w[0] * t.uv[0][0] + w[1] * t.uv[1][0] + w[2] * t.uv[2][0];
                float v = w[0] * t.uv[0][1] + w[1] * t.uv[1][1] + w[2] * t.uv[2][1];
                long cell = std::lround(std::floor(u * t.checker)) + std::lround(std::floor(v * t.checker));
                if (cell % 2 != 0) factor *= 0.8f;
            }
            paint(at, z, factor);
        }
    }
}

void PreviewCanvas::drawOne(const PreviewTriangle &t) {
    ScreenTriangle s;
    if (!toScreen(t, &s)) return;
    rasterise(
        s, [this](size_t at, float z) { return z < depth[at]; },
        [this, &t](size_t at, float z, float factor) {
            depth[at] = z;
            unsigned char *sample = &samples[at * 3];
            sample[0] = scaled(t.rgb[0], factor);
            sample[1] = scaled(t.rgb[1], factor);
            sample[2] = scaled(t.rgb[2], factor);
        });
}

void PreviewCanvas::draw(const std::vector<PreviewTriangle> &triangles) { draw(triangles, 0, triangles.size()); }

void PreviewCanvas::draw(const std::vector<PreviewTriangle> &triangles, size_t first, size_t count) {
    size_t end = std::min(triangles.size(), first + count);
    for (size_t i = first; i < end; i++) drawOne(triangles[i]);
}

void PreviewCanvas::highlight(const std::vector<PreviewTriangle> &triangles, const std::vector<uint32_t> &which,
                              const unsigned char rgb[3]) {
    // 1: the highlight is the nearest surface there; 2: it shows through something nearer.
    std::vector<unsigned char> marks(depth.size(), 0);
    for (int pass = 0; pass < 2; pass++) {
        for (uint32_t i : which) {
            if (i >= triangles.size()) continue;
            ScreenTriangle s;
            if (!toScreen(triangles[i], &s)) continue;
            auto accept = [&](size_t at, float z) {
                bool nearest = z <= depth[at];
                return pass == 0 ? nearest : !nearest && marks[at] == 0;
            };
            rasterise(s, accept, [&](size_t at, float z, float factor) {
                bool nearest = z <= depth[at];
                if (pass == 0 && nearest) {
                    marks[at] = 1;
                    for (int c = 0; c < 3; c++) samples[at * 3 + c] = scaled(rgb[c], factor);
                } else if (pass == 1 && !nearest && marks[at] == 0) {
                    marks[at] = 2;
                    for (int c = 0; c < 3; c++) {
                        float shown = static_cast<float>(scaled(rgb[c], factor));
                        samples[at * 3 + c] =
                            static_cast<unsigned char>((static_cast<float>(samples[at * 3 + c]) + shown) / 2);
                    }
                }
            });
        }
    }
}

void PreviewCanvas::fade(float amount) {
    for (unsigned char &c : samples)
        c = static_cast<unsigned char>(static_cast<float>(c) + (kBackground - static_cast<float>(c)) * amount);
}

std::vector<unsigned char> PreviewCanvas::picture() const {
    static_assert(kSampling == 2, "the picture averages 2 x 2 samples");
    std::vector<unsigned char> rgb(static_cast<size_t>(outWidth) * outHeight * 3);
    const size_t sampleRow = static_cast<size_t>(sampleWidth) * 3;
    unsigned char *out = rgb.data();
    for (int y = 0; y < outHeight; y++) {
        const unsigned char *top = &samples[static_cast<size_t>(y) * 2 * sampleRow], *bottom = top + sampleRow;
        for (int x = 0; x < outWidth; x++, top += 6, bottom += 6)
            for (int c = 0; c < 3; c++) *out++ = static_cast<unsigned char>((top[c] + top[c + 3] + bottom[c] + bottom[c + 3] + 2) / 4);
    }
    return rgb;
}

std::vector<unsigned char> renderPreview(const std::vector<PreviewTriangle> &triangles, int width, int height,
                                         PreviewView view) {
    PreviewCanvas canvas(width, height, view);
    canvas.frame(triangles);
    canvas.draw(triangles);
    return canvas.picture();
}
