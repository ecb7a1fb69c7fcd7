// Renders an MSH file to a PNG picture, so that a mesh can be looked at rather than read:
//   msh_preview <file.msh> <picture.png> [width height]
// Every triangle of every mesh is drawn as stored (group matrices are not applied), seen
// from the front-left and above, with flat shading; each material gets a colour of its own.

#include "IOException.h"
#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "PreviewPicture.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

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
                previewColour(mesh->getMaterialIndex(), t.rgb);
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
