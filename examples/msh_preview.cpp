// Renders an MSH file to a PNG picture, so that a mesh can be looked at rather than read:
//   msh_preview <file.msh> <picture.png> [width height]
// Every triangle of every mesh is drawn as stored (group matrices are not applied), seen
// from the front-left and above, with flat shading. A material's colour comes from its base
// texture's name, so a mesh keeps its colours in every picture (an export of one mesh, whose
// material has another number, looks like the same mesh in the whole file).

#include "IOException.h"
#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshMaterial.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>
#include <zlib.h>

namespace {

struct Triangle {
    float p[3][3];  // screen x, screen y, depth
    float shade;    // 0..1
    unsigned char rgb[3];  // base colour
};

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

// An 8-bit RGB picture as a PNG file: every scanline unfiltered, one zlib stream.
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

// The view: turned 35 degrees about Z, looked at 30 degrees from above.
void project(const float *p, float *out) {
    const float yaw = 0.61f, pitch = 0.52f;
    float x = p[0] * std::cos(yaw) + p[1] * std::sin(yaw);
    float depth = -p[0] * std::sin(yaw) + p[1] * std::cos(yaw);
    float up = p[2] * std::cos(pitch) + depth * std::sin(pitch);
    out[0] = x;
    out[1] = -up;                                               // picture rows grow downwards
    out[2] = depth * std::cos(pitch) - p[2] * std::sin(pitch);  // distance from the eye
}

// A mesh's colour: a hue and a brightness from a hash of its base texture's name (ASCII case
// ignored); meshes without a texture are grey.
void textureColour(const KxRlMesh *mesh, unsigned char rgb[3]) {
    const KxRlMeshMaterial *material = mesh->getMaterial();
    const KxRlMeshBitmap *base = material ? material->getBitmap(0) : nullptr;
    if (!base || !base->getFilename()[0]) {
        rgb[0] = rgb[1] = rgb[2] = 200;
        return;
    }
    uint32_t hash = 2166136261u;  // FNV-1a
    for (const char *c = base->getFilename(); *c; c++) {
        hash ^= static_cast<uint32_t>(std::tolower(static_cast<unsigned char>(*c)));
        hash *= 16777619u;
    }
    hash ^= hash >> 15;  // spread similar names over the whole hue circle
    hash *= 0x2C1B3C6Du;
    hash ^= hash >> 12;
    float hue = static_cast<float>(hash % 360) / 60.0f;
    // Three brightness steps as well, so that neighbouring hues still differ.
    const float high = 235 - 30 * static_cast<float>((hash >> 9) % 3), low = high - 125;
    for (int c = 0; c < 3; c++) {
        // Each channel rises and falls over the hue circle, one third apart.
        float h = std::fmod(hue + 4.0f * static_cast<float>(c), 6.0f);
        float ramp = h < 1 ? h : h < 3 ? 1 : h < 4 ? 4 - h : 0;
        rgb[c] = static_cast<unsigned char>(low + (high - low) * ramp);
    }
}

std::vector<Triangle> collectTriangles(const KxRlMeshFile &file) {
    std::vector<Triangle> triangles;
    const float light[3] = {-0.4f, -0.5f, 0.77f};
    for (int g = 0; g < file.getMeshGroupCount(); g++) {
        for (int m = 0; m < file.getMeshCount(g); m++) {
            const KxRlMesh *mesh = file.getMesh(g, m);
            const _KxDTexVertex *vertices = mesh->getVertexList();
            const uint16_t *indices = mesh->getIndexList();
            for (int i = 0; i + 2 < mesh->getIndexCount(); i += 3) {
                const _KxDVector3D *a = &vertices[indices[i]].position, *b = &vertices[indices[i + 1]].position,
                                   *c = &vertices[indices[i + 2]].position;
                _KxDVector3D ab, ac, normal;
                kxdVecSub(&ab, b, a);
                kxdVecSub(&ac, c, a);
                kxdVecCross(&normal, &ab, &ac);
                float length = kxdVecLen(&normal);
                float lit = length > 0 ? std::fabs(normal.x * light[0] + normal.y * light[1] + normal.z * light[2]) / length
                                       : 0.0f;
                Triangle t;
                const _KxDVector3D *corners[3] = {a, b, c};
                for (int k = 0; k < 3; k++) {
                    float p[3] = {corners[k]->x, corners[k]->y, corners[k]->z};
                    project(p, t.p[k]);
                }
                t.shade = 0.35f + 0.65f * lit;
                textureColour(mesh, t.rgb);
                triangles.push_back(t);
            }
        }
    }
    return triangles;
}

// Z-buffered rasterisation of the projected triangles, scaled to fit the picture.
std::vector<unsigned char> render(std::vector<Triangle> &triangles, int width, int height) {
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3, 245);
    if (triangles.empty()) return rgb;
    float low[2] = {1e30f, 1e30f}, high[2] = {-1e30f, -1e30f};
    for (const Triangle &t : triangles)
        for (int k = 0; k < 3; k++)
            for (int a = 0; a < 2; a++) {
                low[a] = std::min(low[a], t.p[k][a]);
                high[a] = std::max(high[a], t.p[k][a]);
            }
    float scale = 0.9f * std::min(width / std::max(high[0] - low[0], 1e-6f), height / std::max(high[1] - low[1], 1e-6f));
    float offsetX = (width - scale * (high[0] - low[0])) / 2, offsetY = (height - scale * (high[1] - low[1])) / 2;
    std::vector<float> depth(static_cast<size_t>(width) * height, 1e30f);
    for (Triangle &t : triangles) {
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
                for (int c = 0; c < 3; c++)
                    rgb[at * 3 + c] = static_cast<unsigned char>(std::min(255.0f, t.rgb[c] * shade));
            }
        }
    }
    return rgb;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "Usage: msh_preview <file.msh> <picture.png> [width height]\n");
        return 2;
    }
    int width = argc == 5 ? std::atoi(argv[3]) : 480, height = argc == 5 ? std::atoi(argv[4]) : 360;
    if (width < 16 || height < 16 || width > 8192 || height > 8192) {
        std::fprintf(stderr, "msh_preview: width and height must lie between 16 and 8192\n");
        return 2;
    }
    try {
        std::unique_ptr<KxRlMeshFile> file(KxRlMeshFile::CreateFromFile(argv[1]));
        std::vector<Triangle> triangles = collectTriangles(*file);
        if (!writePng(argv[2], width, height, render(triangles, width, height))) {
            std::fprintf(stderr, "msh_preview: cannot write %s\n", argv[2]);
            return 1;
        }
    } catch (const IOException &e) {
        std::fprintf(stderr, "msh_preview: %s: %s\n", argv[1], e.getErrorString());
        return 1;
    }
    return 0;
}
