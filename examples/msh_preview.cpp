// Renders an MSH file to a PNG picture, so that a mesh can be looked at rather than read:
//   msh_preview [-view angled|above|front] [-cull] <file.msh> <picture.png> [width height]
// Every triangle of every mesh is drawn as stored (group matrices are not applied), seen
// from the front-left and above (or from above, or from the front), with flat shading; each
// mesh is coloured by its base texture name. With -cull, triangles whose front faces away from
// the viewer are left out, as the game leaves them out: a room shows its inside.

#include "IOException.h"
#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshMaterial.h"
#include "PreviewPicture.h"
#include "StandardFlags.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

const char *const kUsage = "Usage: msh_preview [-view angled|above|front] [-cull] <file.msh> <picture.png> "
                           "[width height]\n";

std::vector<PreviewTriangle> collectTriangles(const KxRlMeshFile &file, PreviewView view, bool cull) {
    std::vector<PreviewTriangle> triangles;
    for (int g = 0; g < file.getMeshGroupCount(); g++) {
        for (int m = 0; m < file.getMeshCount(g); m++) {
            const KxRlMesh *mesh = file.getMesh(g, m);
            const _KxDTexVertex *vertices = mesh->getVertexList();
            const uint16_t *indices = mesh->getIndexList();
            for (int i = 0; i + 2 < mesh->getIndexCount(); i += 3) {
                const _KxDVector3D *corners[3] = {&vertices[indices[i]].position, &vertices[indices[i + 1]].position,
                                                  &vertices[indices[i + 2]].position};
                if (cull && !previewFacesViewer(corners[0], corners[1], corners[2], view)) continue;
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
    if (answerStandardFlag("msh_preview", kUsage, argc, argv)) return 0;
    PreviewView view = kPreviewAngled;
    bool cull = false;
    bool usable = true;
    int first = 1;
    for (; usable && first < argc && argv[first][0] == '-'; first++) {
        const char *value = first + 1 < argc ? argv[first + 1] : "";
        if (std::strcmp(argv[first], "-cull") == 0) {
            cull = true;
        } else if (std::strcmp(argv[first], "-view") == 0) {
            first++;
            if (std::strcmp(value, "angled") == 0) view = kPreviewAngled;
            else if (std::strcmp(value, "above") == 0) view = kPreviewFromAbove;
            else if (std::strcmp(value, "front") == 0) view = kPreviewFromFront;
            else usable = false;
        } else {
            usable = false;
        }
    }
    int rest = argc - first;
    if (!usable || (rest != 2 && rest != 4)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    argv += first - 1;
    int width = rest == 4 ? std::atoi(argv[3]) : 480, height = rest == 4 ? std::atoi(argv[4]) : 360;
    if (width < 16 || height < 16 || width > 8192 || height > 8192) {
        std::fprintf(stderr, "msh_preview: width and height must lie between 16 and 8192\n");
        return 2;
    }
    try {
        std::unique_ptr<KxRlMeshFile> file(KxRlMeshFile::CreateFromFile(argv[1]));
        std::vector<unsigned char> picture = renderPreview(collectTriangles(*file, view, cull), width, height, view);
        if (!writePng(argv[2], width, height, picture)) {
            std::fprintf(stderr, "msh_preview: cannot write %s\n", argv[2]);
            return 1;
        }
    } catch (const IOException &e) {
        std::fprintf(stderr, "msh_preview: %s: %s\n", argv[1], e.getErrorString());
        return 1;
    }
    return 0;
}
