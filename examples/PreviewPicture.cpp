#include "PreviewPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <zlib.h>

namespace {

const unsigned char kPalette[][3] = {{214, 160, 96},  {120, 160, 210}, {150, 200, 120}, {220, 120, 120},
                                     {190, 150, 210}, {230, 210, 110}, {110, 200, 200}, {200, 200, 200}};
const int kPaletteSize = sizeof kPalette / sizeof kPalette[0];

void appendBigEndian(std::string &out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void appendChunk(std::string &out, const char *type, const std::string &data) {
    appendBigEndian(out, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    appendBigEndian(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef *>(body.data()),
                                                     static_cast<uInt>(body.size()))));
}

// The view: turned about Z, looked at from above.
void project(const float *p, float *out, PreviewView view) {
    float x = p[0] * std::cos(view.yaw) + p[1] * std::sin(view.yaw);
    float depth = -p[0] * std::sin(view.yaw) + p[1] * std::cos(view.yaw);
    float up = p[2] * std::cos(view.pitch) + depth * std::sin(view.pitch);
    out[0] = x;
    out[1] = -up;                                                           // picture rows grow downwards
    out[2] = depth * std::cos(view.pitch) - p[2] * std::sin(view.pitch);  // distance from the eye
}

void faceNormal(const _KxDVector3D *a, const _KxDVector3D *b, const _KxDVector3D *c, _KxDVector3D *normal) {
    _KxDVector3D ab, ac;
    kxdVecSub(&ab, b, a);
    kxdVecSub(&ac, c, a);
    kxdVecCross(normal, &ab, &ac);
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

std::vector<unsigned char> renderPreview(const std::vector<PreviewTriangle> &triangles, int width, int height,
                                         PreviewView view) {
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3, 245);
    if (triangles.empty()) return rgb;
    std::vector<PreviewTriangle> screen(triangles);
    for (PreviewTriangle &t : screen)
        for (int k = 0; k < 3; k++) {
            float world[3] = {t.p[k][0], t.p[k][1], t.p[k][2]};
            project(world, t.p[k], view);
        }
    float low[2] = {1e30f, 1e30f}, high[2] = {-1e30f, -1e30f};
    for (const PreviewTriangle &t : screen)
        for (int k = 0; k < 3; k++)
            for (int a = 0; a < 2; a++) {
                low[a] = std::min(low[a], t.p[k][a]);
                high[a] = std::max(high[a], t.p[k][a]);
            }
    float scale = 0.9f * std::min(width / std::max(high[0] - low[0], 1e-6f), height / std::max(high[1] - low[1], 1e-6f));
    float offsetX = (width - scale * (high[0] - low[0])) / 2, offsetY = (height - scale * (high[1] - low[1])) / 2;
    std::vector<float> depth(static_cast<size_t>(width) * height, 1e30f);
    for (PreviewTriangle &t : screen) {
        for (int k = 0; k < 3; k++) {
            t.p[k][0] = offsetX + (t.p[k][0] - low[0]) * scale;
            t.p[k][1] = offsetY + (t.p[k][1] - low[1]) * scale;
        }
        float area = (t.p[1][0] - t.p[0][0]) * (t.p[2][1] - t.p[0][1]) - (t.p[2][0] - t.p[0][0]) * (t.p[1][1] - t.p[0][1]);
        if (std::fabs(area) < 1e-9f) continue;
        int x0 = std::max(0, static_cast<int>(std::floor(std::min({t.p[0][0], t.p[1][0], t.p[2][0]}))));
        int x1 = std::min(width - 1, static_cast<int>(std::ceil(std::max({t.p[0][0], t.p[1][0], t.p[2][0]}))));
        int y0 = std::max(0, static_cast<int>(std::floor(std::min({t.p[0][1], t.p[1][1], t.p[2][1]}))));
        int y1 = std::min(height - 1, static_cast<int>(std::ceil(std::max({t.p[0][1], t.p[1][1], t.p[2][1]}))));
        for (int y = y0; y <= y1; y++) {
            for (int x = x0; x <= x1; x++) {
                float px = x + 0.5f, py = y + 0.5f;
                float w[3];
                for (int k = 0; k < 3; k++) {
                    const float *a = t.p[(k + 1) % 3], *b = t.p[(k + 2) % 3];
                    w[k] = ((b[0] - a[0]) * (py - a[1]) - (px - a[0]) * (b[1] - a[1])) / area;
                }
                if (w[0] < 0 || w[1] < 0 || w[2] < 0) continue;
                float z = w[0] * t.p[0][2] + w[1] * t.p[1][2] + w[2] * t.p[2][2];
                size_t at = static_cast<size_t>(y) * width + x;
                if (z >= depth[at]) continue;
                depth[at] = z;
                // Darken near the edges so that faces and parts stand apart.
                float edge = std::min({w[0], w[1], w[2]}) * std::fabs(area) /
                             std::max({std::hypot(t.p[1][0] - t.p[0][0], t.p[1][1] - t.p[0][1]),
                                       std::hypot(t.p[2][0] - t.p[1][0], t.p[2][1] - t.p[1][1]),
                                       std::hypot(t.p[0][0] - t.p[2][0], t.p[0][1] - t.p[2][1])});
                float shade = t.shade * (edge < 0.8f ? 0.85f : 1.0f);
                if (t.checker > 0) {
                    // The view is orthographic, so screen weights interpolate uv exactly.
                    float u = w[0] * t.uv[0][0] + w[1] * t.uv[1][0] + w[2] * t.uv[2][0];
                    float v = w[0] * t.uv[0][1] + w[1] * t.uv[1][1] + w[2] * t.uv[2][1];
                    long cell = std::lround(std::floor(u * t.checker)) + std::lround(std::floor(v * t.checker));
                    if (cell % 2 != 0) shade *= 0.8f;
                }
                for (int c = 0; c < 3; c++)
                    rgb[at * 3 + c] = static_cast<unsigned char>(std::min(255.0f, t.rgb[c] * shade));
            }
        }
    }
    return rgb;
}

// Every scanline unfiltered, one zlib stream.
bool writePng(const std::string &path, int width, int height, const std::vector<unsigned char> &rgb) {
    std::string raw;
    for (int y = 0; y < height; y++) {
        raw += '\0';
        raw.append(reinterpret_cast<const char *>(&rgb[static_cast<size_t>(y) * width * 3]), static_cast<size_t>(width) * 3);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress(reinterpret_cast<Bytef *>(&packed[0]), &packedSize, reinterpret_cast<const Bytef *>(raw.data()),
                 static_cast<uLong>(raw.size())) != Z_OK)
        return false;
    packed.resize(packedSize);
    std::string header;
    appendBigEndian(header, static_cast<uint32_t>(width));
    appendBigEndian(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
    std::string png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", packed);
    appendChunk(png, "IEND", "");
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && ok;
}
