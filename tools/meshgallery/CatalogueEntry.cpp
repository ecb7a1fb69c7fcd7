#include "CatalogueEntry.h"

#include "GalleryText.h"

#include <cstdio>

const char *const kCatalogueHead = "{\"meshes\": [\n";
const char *const kCatalogueSeparator = ",\n";
const char *const kCatalogueTail = "\n]}\n";

namespace {

std::string jsonBox(const GalleryBox &box) {
    if (isEmptyBox(box)) return "null";
    std::string text = "[";
    for (int i = 0; i < 6; i++) text += (i ? ", " : "") + jsonNumber(box[i]);
    return text + "]";
}

std::string hexBytes(const std::array<uint8_t, 24> &bytes) {
    std::string text;
    for (uint8_t b : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", b);
        if (!text.empty()) text += ' ';
        text += hex;
    }
    return text;
}

std::string meshEntry(const MeshSummary &mesh) {
    std::string text = "{\"textures\": [";
    for (int slot = 0; slot < 4; slot++) text += (slot ? ", " : "") + jsonString(mesh.textures[slot]);
    text += "], \"vertices\": " + std::to_string(mesh.vertices) + ", \"triangles\": " + std::to_string(mesh.triangles) +
            ", \"objects\": [";
    for (size_t o = 0; o < mesh.objects.size(); o++) {
        const ObjectSummary &object = mesh.objects[o];
        text += (o ? ", " : "") + std::string("{\"first_vertex\": ") + std::to_string(object.firstVertex) +
                ", \"vertices\": " + std::to_string(object.vertices) + ", \"triangles\": " +
                std::to_string(object.triangles) + ", \"box\": " + jsonBox(object.box) +
                ", \"carved_triangles\": " + std::to_string(object.carvedTriangles) + "}";
    }
    text += "], \"material\": \"" + hexBytes(mesh.material) + "\", \"alpha\": " +
            (mesh.material[7] != 0 ? "true" : "false") + "}";
    return text;
}

}  // namespace

std::string catalogueEntry(const GalleryMesh &mesh, const FileSummary *summary, bool withPage) {
    std::string text = "  {\"name\": " + jsonString(mesh.name) + ", \"source\": {\"kind\": " +
                       jsonString(mesh.source.kind) + ", \"path\": " + jsonString(mesh.source.path) +
                       "}, \"size\": " + std::to_string(mesh.size) +
                       ", \"damaged\": " + (summary ? std::string("null") : jsonString(mesh.damaged)) +
                       ", \"box\": " + (summary ? jsonBox(summary->box) : std::string("null")) + ",\n   \"groups\": [";
    if (summary) {
        for (size_t g = 0; g < summary->groups.size(); g++) {
            const GroupSummary &group = summary->groups[g];
            text += (g ? ",\n    " : "\n    ") + std::string("{\"name\": ") + jsonString(group.name) +
                    ", \"meshes\": [";
            for (size_t m = 0; m < group.meshes.size(); m++)
                text += (m ? ",\n      " : "\n      ") + meshEntry(group.meshes[m]);
            text += "]}";
        }
    }
    text += "]";
    if (withPage) {
        text += ",\n   \"page\": ";
        text += summary ? jsonString("meshes/" + mesh.stem + ".html") : std::string("null");
    }
    return text + "}";
}
