#include "GalleryPictures.h"

#include "PngFile.h"

#include <string>

namespace {

const int kLargeWidth = 480, kLargeHeight = 360;
const int kSmallWidth = 200, kSmallHeight = 150;
const int kObjectWidth = 128, kObjectHeight = 96;
const unsigned char kHighlight[3] = {235, 90, 30};
// How far the whole fades behind an object shown in place.
const float kInPlaceFade = 0.6f;

std::string numbered(const char *format, int a, int b = 0, int c = 0) {
    char name[64];
    std::snprintf(name, sizeof name, format, a, b, c);
    return name;
}

std::vector<PreviewTriangle> slice(const std::vector<PreviewTriangle> &triangles, size_t first, size_t count) {
    return std::vector<PreviewTriangle>(triangles.begin() + static_cast<std::ptrdiff_t>(first),
                                        triangles.begin() + static_cast<std::ptrdiff_t>(first + count));
}

std::vector<unsigned char> drawAlone(const std::vector<PreviewTriangle> &triangles, const GalleryPicture &picture,
                                     PreviewView view, const std::string &folder) {
    PreviewCanvas canvas(picture.width, picture.height, view);
    canvas.frame(triangles);
    canvas.draw(triangles);
    std::vector<unsigned char> rgb = canvas.picture();
    writePng(folder + "/" + picture.file, picture.width, picture.height, rgb);
    return rgb;
}

// Every 2 x 2 pixels of a `width` x `height` picture averaged into one.
std::vector<unsigned char> halved(const std::vector<unsigned char> &rgb, int width, int height) {
    std::vector<unsigned char> half(static_cast<size_t>(width / 2) * (height / 2) * 3);
    unsigned char *out = half.data();
    for (int y = 0; y + 1 < height; y += 2)
        for (int x = 0; x + 1 < width; x += 2)
            for (int c = 0; c < 3; c++) {
                size_t at = (static_cast<size_t>(y) * width + x) * 3 + c, below = at + static_cast<size_t>(width) * 3;
                *out++ = static_cast<unsigned char>((rgb[at] + rgb[at + 3] + rgb[below] + rgb[below + 3] + 2) / 4);
            }
    return half;
}

}  // namespace

GalleryPicture viewPicture(int view) {
    static const char *const kNames[kGalleryViews] = {"front.png", "above.png", "angled.png"};
    return {kNames[view], kLargeWidth, kLargeHeight};
}

// Half the angled view in each direction: averaged down from it rather than drawn again.
GalleryPicture cardPicture() { return {"card.png", kLargeWidth / 2, kLargeHeight / 2}; }

GalleryPicture groupPicture(const FileSummary &summary, int group) {
    if (summary.groups[group].meshes.size() == 1) return meshPicture(group, 0);
    return {numbered("g%d.png", group), kSmallWidth, kSmallHeight};
}

GalleryPicture meshPicture(int group, int mesh) { return {numbered("g%dm%d.png", group, mesh), kSmallWidth, kSmallHeight}; }

GalleryPicture objectPicture(const FileSummary &summary, int group, int mesh, int object) {
    const MeshSummary &m = summary.groups[group].meshes[mesh];
    if (m.objects.size() == 1) return meshPicture(group, mesh);
    return {numbered("g%dm%dv%d.png", group, mesh, m.objects[object].firstVertex), kObjectWidth, kObjectHeight};
}

GalleryPicture objectInPlacePicture(const FileSummary &summary, int group, int mesh, int object) {
    int vertex = summary.groups[group].meshes[mesh].objects[object].firstVertex;
    return {numbered("g%dm%dv%d-in.png", group, mesh, vertex), kObjectWidth, kObjectHeight};
}

void drawGalleryPictures(const FileSummary &summary, const std::vector<PreviewTriangle> &triangles,
                         const std::string &folder) {
    const PreviewView views[kGalleryViews] = {kPreviewFromFront, kPreviewFromAbove, kPreviewAngled};
    std::vector<unsigned char> angled;
    for (int v = 0; v < kGalleryViews; v++) angled = drawAlone(triangles, viewPicture(v), views[v], folder);
    GalleryPicture card = cardPicture();
    writePng(folder + "/" + card.file, card.width, card.height, halved(angled, kLargeWidth, kLargeHeight));

    // The whole, faded, once: each object is highlighted on a copy of it.
    PreviewCanvas whole(kObjectWidth, kObjectHeight, kPreviewAngled);
    whole.frame(triangles);
    whole.draw(triangles);
    whole.fade(kInPlaceFade);
    PreviewCanvas inPlace = whole;  // each object's picture starts from a copy into the same buffers

    for (size_t g = 0; g < summary.groups.size(); g++) {
        const GroupSummary &group = summary.groups[g];
        int gi = static_cast<int>(g);
        if (group.meshes.size() != 1) {
            size_t count = 0;
            for (const MeshSummary &mesh : group.meshes) count += static_cast<size_t>(mesh.triangles);
            drawAlone(slice(triangles, group.firstTriangle, count), groupPicture(summary, gi), kPreviewAngled, folder);
        }
        for (size_t m = 0; m < group.meshes.size(); m++) {
            const MeshSummary &mesh = group.meshes[m];
            int mi = static_cast<int>(m);
            drawAlone(slice(triangles, mesh.firstTriangle, static_cast<size_t>(mesh.triangles)), meshPicture(gi, mi),
                      kPreviewAngled, folder);
            for (size_t o = 0; o < mesh.objects.size(); o++) {
                const ObjectSummary &object = mesh.objects[o];
                int oi = static_cast<int>(o);
                if (mesh.objects.size() > 1) {
                    std::vector<PreviewTriangle> own;
                    own.reserve(object.triangleList.size());
                    for (uint32_t t : object.triangleList) own.push_back(triangles[t]);
                    drawAlone(own, objectPicture(summary, gi, mi, oi), kPreviewAngled, folder);
                }
                inPlace = whole;
                inPlace.highlight(triangles, object.triangleList, kHighlight);
                GalleryPicture picture = objectInPlacePicture(summary, gi, mi, oi);
                writePng(folder + "/" + picture.file, picture.width, picture.height, inPlace.picture());
            }
        }
    }
}
