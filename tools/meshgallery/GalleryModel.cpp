#include "GalleryModel.h"

#include "GltfExport.h"
#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "MeshPreview.h"

#include <vector>

namespace {

const char *const kGenerator = "meshgallery " KX_SUITE_VERSION " (Reelmara prop tools)";

// The object of each vertex of `mesh` from its objects' triangles, as runs of equal objects.
// A vertex that no triangle uses is never drawn: it joins the run before it.
std::string objectRuns(const KxRlMesh &mesh, const MeshSummary &summary) {
    std::vector<int> objectOf(static_cast<size_t>(mesh.getVertexCount()), -1);
    const uint16_t *indices = mesh.getIndexList();
    for (size_t o = 0; o < summary.objects.size(); o++)
        for (uint32_t t : summary.objects[o].triangleList) {
            size_t local = t - summary.firstTriangle;
            // The reader has checked every corner against the vertex count.
            for (int k = 0; k < 3; k++) objectOf[indices[3 * local + k]] = static_cast<int>(o);
        }
    std::string runs;
    int last = -1;
    for (size_t v = 0; v < objectOf.size(); v++) {
        if (objectOf[v] < 0 || objectOf[v] == last) continue;
        if (!runs.empty()) runs += ", ";
        // The first run starts at vertex 0, whatever vertices before it no triangle uses.
        runs += std::to_string(last < 0 ? 0 : v) + ", " + std::to_string(objectOf[v]);
        last = objectOf[v];
    }
    return runs;
}

}  // namespace

std::string base64(const std::string &bytes) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        uint32_t n = static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16 |
                     static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8 |
                     static_cast<unsigned char>(bytes[i + 2]);
        for (int shift = 18; shift >= 0; shift -= 6) text += kDigits[(n >> shift) & 63];
    }
    if (i < bytes.size()) {
        uint32_t n = static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
        if (i + 1 < bytes.size()) n |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
        text += kDigits[(n >> 18) & 63];
        text += kDigits[(n >> 12) & 63];
        text += i + 1 < bytes.size() ? kDigits[(n >> 6) & 63] : '=';
        text += '=';
    }
    return text;
}

std::string galleryModelScript(const KxRlMeshFile &file, const FileSummary &summary) {
    std::string parts;
    for (size_t g = 0; g < summary.groups.size(); g++) {
        const int gi = static_cast<int>(g);
        for (size_t m = 0; m < summary.groups[g].meshes.size(); m++) {
            const KxRlMesh *mesh = file.getMesh(gi, static_cast<int>(m));
            if (!gltfHasPrimitive(mesh)) continue;
            const MeshSummary &meshSummary = summary.groups[g].meshes[m];
            unsigned char rgb[3];
            previewMeshColour(mesh, rgb);
            std::string firstVertices;
            for (const ObjectSummary &object : meshSummary.objects)
                firstVertices += (firstVertices.empty() ? "" : ", ") + std::to_string(object.firstVertex);
            parts += std::string(parts.empty() ? "\n" : ",\n") + "{\"group\": " + std::to_string(g) +
                     ", \"mesh\": " + std::to_string(m) + ", \"colour\": [" + std::to_string(rgb[0]) + ", " +
                     std::to_string(rgb[1]) + ", " + std::to_string(rgb[2]) + "], \"objects\": [" + firstVertices +
                     "], \"runs\": [" + objectRuns(*mesh, meshSummary) + "]}";
        }
    }
    return "// The model of a mesh page's 3D view (meshgallery): the mesh file as the glTF binary that\n"
           "// propbridge export writes, in base64, and what each of its primitives is.\n"
           "window.meshGalleryModel = {\"glb\": \"" +
           base64(exportGlbBytes(&file, kGenerator)) + "\",\n\"parts\": [" + parts + "]};\n";
}
