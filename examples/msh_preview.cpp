// Renders an MSH file to a PNG picture, so that a mesh can be looked at rather than read:
//   msh_preview [-view angled|above|front] [-cull] <file.msh> <picture.png> [width height]
// Every triangle of every mesh is drawn as stored (group matrices are not applied), seen
// from the front-left and above (or from above, or from the front), with flat shading; each
// mesh is coloured by its base texture name. With -cull, triangles whose front faces away from
// the viewer are left out, as the game leaves them out: a room shows its inside.

#include "IOException.h"
#include "KxRlMeshFile.h"
#include "MeshPreview.h"
#include "PngFile.h"
#include "StandardFlags.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

const char *const kUsage = "Usage: msh_preview [-view angled|above|front] [-cull] <file.msh> <picture.png> "
                           "[width height]\n";

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
        std::vector<unsigned char> picture = renderPreview(meshFileTriangles(*file, cull, view), width, height, view);
        try {
            writePng(argv[2], width, height, picture);
        } catch (const IOException &e) {
            std::fprintf(stderr, "msh_preview: %s: cannot be written: %s\n", argv[2], e.describe().c_str());
            return 1;
        }
    } catch (const IOException &e) {
        std::fprintf(stderr, "msh_preview: %s: %s\n", argv[1], e.getErrorString());
        return 1;
    }
    return 0;
}
