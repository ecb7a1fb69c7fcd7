#include "GalleryPages.h"

#include "GalleryPictures.h"
#include "GalleryText.h"

#include <cctype>
#include <cstdio>

namespace {

const char *const kSlotNames[4] = {"base", "reflective", "light-map", "specular"};

std::string pageHead(const std::string &title, const std::string &stylePath, const std::string &bodyAttributes) {
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
           "<title>" + title + "</title>\n<link rel=\"icon\" href=\"data:,\">\n"
           "<link rel=\"stylesheet\" href=\"" + stylePath + "\">\n</head>\n<body " + bodyAttributes + ">\n";
}

std::string count(int n, const char *one, const char *many) {
    return groupedNumber(static_cast<uint64_t>(n < 0 ? 0 : n)) + " " + (n == 1 ? one : many);
}

// "1.20 × 0.60 × 0.75 m", or "empty".
std::string dimensions(const GalleryBox &box) {
    if (isEmptyBox(box)) return "empty";
    return metres(box[3] - box[0]) + " &times; " + metres(box[4] - box[1]) + " &times; " + metres(box[5] - box[2]) +
           " m";
}

float largestSide(const GalleryBox &box) {
    if (isEmptyBox(box)) return 0;
    float side = box[3] - box[0];
    if (box[4] - box[1] > side) side = box[4] - box[1];
    if (box[5] - box[2] > side) side = box[5] - box[2];
    return side;
}

std::string boxText(const GalleryBox &box) {
    if (isEmptyBox(box)) return "empty";
    char text[160];
    std::snprintf(text, sizeof text, "X %s to %s, Y %s to %s, Z %s to %s", metres(box[0]).c_str(),
                  metres(box[3]).c_str(), metres(box[1]).c_str(), metres(box[4]).c_str(), metres(box[2]).c_str(),
                  metres(box[5]).c_str());
    return text;
}

// A picture on a sheet shows its part of the file: the sheet at its natural size, moved.
std::string image(const std::string &folder, const GalleryPicture &picture, const std::string &alt, bool lazy) {
    const std::string width = std::to_string(picture.width), height = std::to_string(picture.height);
    std::string sheet;
    if (picture.onSheet)
        sheet = " class=\"cell\" style=\"width: " + width + "px; height: " + height + "px; object-position: -" +
                std::to_string(picture.x) + "px -" + std::to_string(picture.y) + "px\"";
    return "<img src=\"" + folder + htmlText(picture.file) + "\" width=\"" + width + "\" height=\"" + height +
           "\"" + sheet + " alt=\"" + alt + "\"" + (lazy ? " loading=\"lazy\"" : "") + ">";
}

std::string figure(const std::string &folder, const GalleryPicture &picture, const std::string &alt,
                   const std::string &caption, bool lazy) {
    return "<figure>" + image(folder, picture, alt, lazy) + "<figcaption>" + caption + "</figcaption></figure>";
}

std::string command(const std::string &text) {
    return "<div class=\"command\"><code>" + htmlText(text) +
           "</code><button type=\"button\" class=\"copy\">Copy</button></div>\n";
}

std::string newDataWords(const GalleryCommandContext &context) {
    std::string words;
    for (const std::string &folder : context.newDataFolders) words += " -newdata " + shellWord(folder);
    return words;
}

// The prop name of an object's command: the file name without "p_" and ".msh", cut so that
// "_g<g>m<m>v<v>" still fits propcarver's 25 characters, in letters, digits and '_' only.
std::string objectPropName(const std::string &meshName, int group, int mesh, int firstVertex) {
    std::string file = meshName.substr(meshName.find_last_of("/\\") == std::string::npos
                                           ? 0
                                           : meshName.find_last_of("/\\") + 1);
    file = file.substr(0, file.find('.'));
    if (file.size() >= 2 && (file[0] == 'p' || file[0] == 'P') && file[1] == '_') file.erase(0, 2);
    std::string base;
    for (char c : file) {
        unsigned char u = static_cast<unsigned char>(c);
        base += std::isalnum(u) && u < 0x80 ? static_cast<char>(std::tolower(u)) : '_';
    }
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, "_g%dm%dv%d", group, mesh, firstVertex);
    size_t room = 25 > std::string(suffix).size() ? 25 - std::string(suffix).size() : 0;
    if (base.size() > room) base.resize(room);
    if (base.empty()) base = "object";
    return base + suffix;
}

// The folder meshlister exports a mesh file's objects into: the name cut at its first '.'.
std::string exportFolder(const std::string &meshName) {
    size_t start = meshName.find_last_of("/\\");
    size_t dot = meshName.find('.', start == std::string::npos ? 0 : start + 1);
    return meshName.substr(0, dot);
}

std::string materialReport(const MeshSummary &mesh) {
    std::string text;
    for (int slot = 0; slot < 4; slot++) text += (slot ? " (" : "(") + mesh.textures[slot] + ")";
    text += "\n  [ ";
    for (uint8_t b : mesh.material) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X ", b);
        text += hex;
    }
    return text + "]";
}

std::string materialTable(const MeshSummary &mesh) {
    const std::array<uint8_t, 24> &raw = mesh.material;
    std::string rows;
    for (int slot = 0; slot < 4; slot++)
        rows += "<tr><th>" + std::string(kSlotNames[slot]) + " texture</th><td>" +
                (mesh.textures[slot].empty() ? std::string("&mdash;")
                                             : "<span class=\"texture\">" + htmlText(mesh.textures[slot]) + "</span>") +
                "</td></tr>\n";
    char colour[96];
    std::snprintf(colour, sizeof colour,
                  "<span class=\"swatch\" style=\"background:rgb(%u,%u,%u)\"></span> %u %u %u %u", raw[16], raw[17],
                  raw[18], raw[16], raw[17], raw[18], raw[19]);
    rows += "<tr><th>alpha</th><td>" + std::string(raw[7] ? "on" : "off") + "</td></tr>\n";
    rows += "<tr><th>diffuse colour</th><td>" + std::string(colour) + "</td></tr>\n";
    rows += "<tr><th>texture animation</th><td>X " + std::to_string(raw[20]) + ", Y " + std::to_string(raw[21]) +
            ", turning " + std::to_string(raw[22]) + "</td></tr>\n";
    rows += "<tr><th>as meshlister reports it</th><td><pre>" + htmlText(materialReport(mesh)) + "</pre></td></tr>\n";
    return "<table class=\"material\">\n" + rows + "</table>\n";
}

}  // namespace

std::string describeMeshSource(const MeshSource &source) {
    if (source.kind == "newdata") return "-newdata folder " + source.path;
    if (source.kind == "content") return "content folder " + source.path;
    if (source.kind == "game") return "game folder " + source.path;
    return "archive " + source.path;
}

std::string propcarverCommand(const GalleryMesh &mesh, const GalleryCommandContext &context, int group, int meshIndex,
                              int firstVertex) {
    return "propcarver" + newDataWords(context) + " " + shellWord(mesh.name) + " " +
           objectPropName(mesh.name, group, meshIndex, firstVertex) + " -g " + std::to_string(group) + " -m " +
           std::to_string(meshIndex) + " -cv " + std::to_string(firstVertex);
}

std::string meshlisterCommand(const GalleryMesh &mesh, const GalleryCommandContext &context) {
    return "meshlister" + newDataWords(context) + " -xo " + shellWord(mesh.name);
}

std::string indexPageHead() {
    return pageHead("Mesh gallery", "gallery.css", "class=\"index-page\"") +
           "<header>\n<h1>Mesh gallery</h1>\n<div class=\"controls\">\n"
           "<input type=\"search\" placeholder=\"Search names and textures\" aria-label=\"Search names and textures\" "
           "autocomplete=\"off\">\n"
           "<label>Sort by <select class=\"sort\">\n<option value=\"name\">name</option>\n"
           "<option value=\"size\">file size</option>\n<option value=\"extent\">size in metres</option>\n"
           "<option value=\"triangles\">triangles</option>\n</select></label>\n"
           "<span class=\"shown\" aria-live=\"polite\"></span>\n</div>\n</header>\n<main class=\"cards\">\n";
}

std::string indexPageTail() {
    return "</main>\n<p class=\"nothing\" hidden>No mesh file matches.</p>\n<script src=\"gallery.js\"></script>\n"
           "</body>\n</html>\n";
}

std::string meshCard(const GalleryMesh &mesh, const FileSummary *summary) {
    std::string textures;
    if (summary)
        for (const std::string &name : summary->textures) textures += (textures.empty() ? "" : "\n") + name;
    std::string card = "<article class=\"card" + std::string(summary ? "" : " damaged") + "\" data-mesh=\"" +
                       htmlText(mesh.name) + "\" data-textures=\"" + htmlText(textures) + "\" data-size=\"" +
                       std::to_string(mesh.size) + "\" data-extent=\"" +
                       jsonNumber(summary ? largestSide(summary->box) : 0.0f) + "\" data-triangles=\"" +
                       std::to_string(summary ? summary->triangles : 0) + "\">\n";
    std::string page = "meshes/" + htmlText(mesh.stem) + ".html";
    if (summary)
        card += "<a class=\"picture\" href=\"" + page + "\">" +
                image("meshes/" + htmlText(mesh.stem) + "/", cardPicture(), "", true) + "</a>\n<h2><a href=\"" + page +
                "\">" + htmlText(mesh.name) + "</a></h2>\n";
    else
        card += "<h2>" + htmlText(mesh.name) + "</h2>\n<p class=\"problem\">Damaged: " + htmlText(mesh.damaged) +
                "</p>\n";
    card += "<p class=\"source\">" + htmlText(describeMeshSource(mesh.source)) + "</p>\n<dl>\n<dt>file size</dt><dd>" +
            groupedNumber(mesh.size) + " bytes</dd>\n";
    if (summary) {
        card += "<dt>groups</dt><dd>" + groupedNumber(summary->groups.size()) + "</dd>\n<dt>meshes</dt><dd>" +
                groupedNumber(static_cast<uint64_t>(summary->meshes)) + "</dd>\n<dt>objects</dt><dd>" +
                groupedNumber(static_cast<uint64_t>(summary->objects)) + "</dd>\n<dt>triangles</dt><dd>" +
                groupedNumber(static_cast<uint64_t>(summary->triangles)) + "</dd>\n<dt>size</dt><dd>" +
                dimensions(summary->box) + "</dd>\n";
    }
    card += "</dl>\n";
    if (!textures.empty()) {
        card += "<ul class=\"textures\">";
        for (const std::string &name : summary->textures) card += "<li>" + htmlText(name) + "</li>";
        card += "</ul>\n";
    }
    return card + "</article>\n";
}

std::string meshPage(const GalleryMesh &mesh, const FileSummary &summary, const GalleryCommandContext &context) {
    const std::string name = htmlText(mesh.name);
    const std::string folder = htmlText(mesh.stem) + "/";
    std::string page = pageHead(name + " &middot; mesh gallery", "../gallery.css",
                                "class=\"mesh-page\" data-mesh=\"" + name + "\"");
    page += "<nav><a href=\"../index.html\">&larr; every mesh file</a></nav>\n<header>\n<h1>" + name +
            "</h1>\n<p class=\"source\">found in the " + htmlText(describeMeshSource(mesh.source)) + "</p>\n</header>\n";
    // The 3D view (viewer.js) shows itself where WebGL works; the pictures stay for the rest.
    page += "<section class=\"view3d\" data-model=\"" + folder + "model.js\" hidden></section>\n";
    static const char *const kViewCaptions[kGalleryViews] = {"from the front", "from above", "at an angle"};
    page += "<section class=\"views\">\n";
    for (int v = 0; v < kGalleryViews; v++)
        page += figure(folder, viewPicture(v), name + " " + kViewCaptions[v], kViewCaptions[v], false) + "\n";
    page += "</section>\n<section class=\"facts\">\n<dl>\n<dt>file size</dt><dd>" + groupedNumber(mesh.size) +
            " bytes</dd>\n<dt>size</dt><dd>" + dimensions(summary.box) + "</dd>\n<dt>box</dt><dd>" +
            boxText(summary.box) + "</dd>\n<dt>groups</dt><dd>" + groupedNumber(summary.groups.size()) +
            "</dd>\n<dt>meshes</dt><dd>" + groupedNumber(static_cast<uint64_t>(summary.meshes)) +
            "</dd>\n<dt>separate objects</dt><dd>" + groupedNumber(static_cast<uint64_t>(summary.objects)) +
            "</dd>\n<dt>triangles</dt><dd>" + groupedNumber(static_cast<uint64_t>(summary.triangles)) +
            "</dd>\n<dt>vertices</dt><dd>" + groupedNumber(static_cast<uint64_t>(summary.vertices)) + "</dd>\n</dl>\n";
    page += "<p>Every mesh and every separate object exported as an MSH file of its own:</p>\n" +
            command(meshlisterCommand(mesh, context)) + "</section>\n";

    for (size_t g = 0; g < summary.groups.size(); g++) {
        const GroupSummary &group = summary.groups[g];
        const int gi = static_cast<int>(g);
        page += "<section class=\"group\" id=\"g" + std::to_string(g) + "\">\n<h2>Group " + std::to_string(g) +
                (group.name.empty() ? "" : " <q>" + htmlText(group.name) + "</q>") + "</h2>\n" +
                figure(folder, groupPicture(summary, gi), "group " + std::to_string(g), "group " + std::to_string(g),
                       true) +
                "\n<p class=\"counts\">" + count(static_cast<int>(group.meshes.size()), "mesh", "meshes") + ", " +
                count(group.triangles, "triangle", "triangles") + "; " + dimensions(group.box) + "</p>\n";
        for (size_t m = 0; m < group.meshes.size(); m++) {
            const MeshSummary &meshSummary = group.meshes[m];
            const int mi = static_cast<int>(m);
            const std::string where = "group " + std::to_string(g) + ", mesh " + std::to_string(m);
            page += "<article class=\"mesh\" id=\"g" + std::to_string(g) + "m" + std::to_string(m) + "\">\n<h3>Mesh " +
                    std::to_string(m) + "</h3>\n" + figure(folder, meshPicture(gi, mi), where, where, true) + "\n" +
                    materialTable(meshSummary) + "<p class=\"counts\">" +
                    count(meshSummary.vertices, "vertex", "vertices") + ", " +
                    count(meshSummary.triangles, "triangle", "triangles") + ", " +
                    count(static_cast<int>(meshSummary.objects.size()), "separate object", "separate objects") + "; " +
                    dimensions(meshSummary.box) + "</p>\n<ol class=\"objects\">\n";
            for (size_t o = 0; o < meshSummary.objects.size(); o++) {
                const ObjectSummary &object = meshSummary.objects[o];
                const int oi = static_cast<int>(o);
                const std::string vertex = std::to_string(object.firstVertex);
                const std::string what = where + ", object from vertex " + vertex;
                char exportName[96];
                std::snprintf(exportName, sizeof exportName,
                              meshSummary.objects.size() > 1 ? "/group%02dmesh%02dvertex%04d.msh" : "/group%02dmesh%02d.msh",
                              gi, mi, object.firstVertex);
                page += "<li class=\"object\" id=\"g" + std::to_string(g) + "m" + std::to_string(m) + "v" + vertex +
                        "\" data-object=\"" + std::to_string(g) + " " + std::to_string(m) + " " + vertex + "\">\n" +
                        figure(folder, objectPicture(summary, gi, mi, oi), what + " alone", "alone", true) +
                        figure(folder, objectInPlacePicture(summary, gi, mi, oi), what + " in place", "in place", true) +
                        "\n<dl>\n<dt>first vertex</dt><dd>" + vertex + "</dd>\n<dt>vertices</dt><dd>" +
                        groupedNumber(static_cast<uint64_t>(object.vertices)) + "</dd>\n<dt>triangles</dt><dd>" +
                        groupedNumber(static_cast<uint64_t>(object.triangles)) + "</dd>\n<dt>size</dt><dd>" +
                        dimensions(object.box) + "</dd>\n<dt>box</dt><dd>" + boxText(object.box) + "</dd>\n</dl>\n" +
                        "<p>This object alone, centred, as a prop:</p>\n" +
                        command(propcarverCommand(mesh, context, gi, mi, object.firstVertex));
                if (object.carvedTriangles != object.triangles)
                    page += "<p class=\"note\">Its box also holds " +
                            count(object.carvedTriangles - object.triangles, "triangle", "triangles") +
                            " of other objects: carving by the box takes them too (" +
                            groupedNumber(static_cast<uint64_t>(object.carvedTriangles)) + " triangles in all).</p>\n";
                page += "<p>meshlister <code>-xo</code> (above) writes it to <code>" +
                        htmlText(exportFolder(mesh.name) + exportName) + "</code>.</p>\n</li>\n";
            }
            page += "</ol>\n</article>\n";
        }
        page += "</section>\n";
    }
    return page + "<script src=\"../viewer.js\"></script>\n<script src=\"../gallery.js\"></script>\n</body>\n</html>\n";
}
