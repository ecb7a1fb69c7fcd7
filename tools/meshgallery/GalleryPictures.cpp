#include "GalleryPictures.h"

#include "PngFile.h"

#include <algorithm>
#include <string>

namespace {

const int kLargeWidth = 480, kLargeHeight = 360;
const int kSmallWidth = 200, kSmallHeight = 150;
const int kObjectWidth = 128, kObjectHeight = 96;
// Object pictures on a sheet: eight a row, at most sixteen rows (a sheet of 1024 x 1536 pixels
// is drawn in memory whole).
const int kSheetColumns = 8, kSheetCells = 128;
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

// Sheet cells of a mesh's objects: each alone and in place, or only in place for a mesh of one
// object (alone it is the mesh's picture).
int cellsOf(const MeshSummary &mesh) {
    int objects = static_cast<int>(mesh.objects.size());
    return objects > 1 ? 2 * objects : objects;
}

// The cell of a mesh's first object, the cells numbered through the file's groups and meshes.
int firstCell(const FileSummary &summary, int group, int mesh) {
    int cell = 0;
    for (int g = 0; g < group; g++)
        for (const MeshSummary &m : summary.groups[g].meshes) cell += cellsOf(m);
    for (int m = 0; m < mesh; m++) cell += cellsOf(summary.groups[group].meshes[m]);
    return cell;
}

std::string sheetName(int sheet) { return numbered("objects%d.png", sheet); }

GalleryPicture cellPicture(int cell) {
    GalleryPicture picture{sheetName(cell / kSheetCells), kObjectWidth, kObjectHeight};
    picture.onSheet = true;
    picture.x = (cell % kSheetColumns) * kObjectWidth;
    picture.y = (cell % kSheetCells / kSheetColumns) * kObjectHeight;
    return picture;
}

// The sheets of a file's object pictures, filled cell by cell in order and written when full.
class ObjectSheets {
public:
    ObjectSheets(int cells, const std::string &folder) : cells(cells), folder(folder) {}
    ObjectSheets(const ObjectSheets &) = delete;
    ObjectSheets &operator=(const ObjectSheets &) = delete;

    void put(int cell, const std::vector<unsigned char> &rgb) {
        if (cell / kSheetCells != sheet) {
            write();
            start(cell / kSheetCells);
        }
        GalleryPicture place = cellPicture(cell);
        for (int y = 0; y < kObjectHeight; y++)
            std::copy_n(rgb.begin() + static_cast<std::ptrdiff_t>(y) * kObjectWidth * 3, kObjectWidth * 3,
                        pixels.begin() + (static_cast<std::ptrdiff_t>(place.y + y) * width + place.x) * 3);
    }
    // Writes the sheet being filled.
    void write() {
        if (sheet >= 0) writePng(folder + "/" + sheetName(sheet), width, height, pixels);
        sheet = -1;
    }

private:
    void start(int next) {
        sheet = next;
        int count = std::min(kSheetCells, cells - next * kSheetCells);
        width = std::min(count, kSheetColumns) * kObjectWidth;
        height = (count + kSheetColumns - 1) / kSheetColumns * kObjectHeight;
        pixels.assign(static_cast<size_t>(width) * height * 3, 255);
    }
    int cells;
    std::string folder;
    int sheet = -1;
    int width = 0, height = 0;
    std::vector<unsigned char> pixels;
};

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
    if (summary.groups[group].meshes[mesh].objects.size() == 1) return meshPicture(group, mesh);
    return cellPicture(firstCell(summary, group, mesh) + 2 * object);
}

GalleryPicture objectInPlacePicture(const FileSummary &summary, int group, int mesh, int object) {
    bool alone = summary.groups[group].meshes[mesh].objects.size() > 1;
    return cellPicture(firstCell(summary, group, mesh) + (alone ? 2 * object + 1 : object));
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
    ObjectSheets sheets(firstCell(summary, static_cast<int>(summary.groups.size()), 0), folder);
    int cell = 0;

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
                if (mesh.objects.size() > 1) {
                    std::vector<PreviewTriangle> own;
                    own.reserve(object.triangleList.size());
                    for (uint32_t t : object.triangleList) own.push_back(triangles[t]);
                    PreviewCanvas alone(kObjectWidth, kObjectHeight, kPreviewAngled);
                    alone.frame(own);
                    alone.draw(own);
                    sheets.put(cell++, alone.picture());
                }
                inPlace = whole;
                inPlace.highlight(triangles, object.triangleList, kHighlight);
                sheets.put(cell++, inPlace.picture());
            }
        }
    }
    sheets.write();
}
