// Renders an MSH file to a PNG picture, so that a mesh can be looked at rather than read:
//   msh_preview <file.msh> <picture.png> [width height]
// Every triangle of every mesh is drawn as stored (group matrices are not applied), seen
// from the front-left and above, with flat shading; each mesh is coloured by its base texture name.

#include "IOException.h"
#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshMaterial.h"
#include "PreviewPicture.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// A mesh's colour: a hue and a brightness from a hash of its base texture's name (ASCII case
// ignored), so that a mesh has the same colour in every picture; meshes without a texture are
// grey.
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

std::vector<PreviewTriangle> collectTriangles(const KxRlMeshFile &file) {
    std::vector<PreviewTriangle> triangles;
    for (int g = 0; g < file.getMeshGroupCount(); g++) {
        for (int m = 0; m < file.getMeshCount(g); m++) {
            const KxRlMesh *mesh = file.getMesh(g, m);
            const _KxDTexVertex *vertices = mesh->getVertexList();
            const uint16_t *indices = mesh->getIndexList();
            for (int i = 0; i + 2 < mesh->getIndexCount(); i += 3) {
                const _KxDVector3D *corners[3] = {&vertices[indices[i]].position, &vertices[indices[i + 1]].position,
                                                  &vertices[indices[i + 2]].position};
                PreviewTriangle t = {};
                for (int k = 0; k < 3; k++) {
                    t.p[k][0] = corners[k]->x;
                    t.p[k][1] = corners[k]->y;
                    t.p[k][2] = corners[k]->z;
                }
                t.shade = previewShade(corners[0], corners[1], corners[2]);
                textureColour(mesh, t.rgb);
                triangles.push_back(t);
            }
        }
    }
    return triangles;
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
        if (!writePng(argv[2], width, height, renderPreview(collectTriangles(*file), width, height))) {
            std::fprintf(stderr, "msh_preview: cannot write %s\n", argv[2]);
            return 1;
        }
    } catch (const IOException &e) {
        std::fprintf(stderr, "msh_preview: %s: %s\n", argv[1], e.getErrorString());
        return 1;
    }
    return 0;
}
