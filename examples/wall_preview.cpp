// Draws the meshes of a wall surface built from an outline given on the command line, so that
// a change to the wall code can be looked at:
//   wall_preview [options] <picture.png> x,y[,bottom,top[,flags]] ...
// Each co-ordinate is a point of the outline; bottom and top give an opening there (0,0: a
// plain point), flags "b" and/or "t" leave out the piece below / above it on the next stretch.
// Walls are drawn tan, the floor blue, the ceiling green, each with a checker pattern of its
// texture (or light-map) co-ordinates; a triangle that winds against its own normals is red.
// Triangles whose front faces away from the viewer are left out, as the game leaves them out,
// so an interior shows its inside and a wall facing the wrong way disappears.

#include "IOException.h"
#include "KxDWallSurface.h"
#include "PngFile.h"
#include "PreviewCanvas.h"
#include "StandardFlags.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const char *const kUsage =
    "Usage: wall_preview [options] <picture.png> x,y[,bottom,top[,b|t|bt]] ...\n"
    "  -height h     wall height (3)\n"
    "  -exterior     walls seen from outside the outline (default: a room seen from inside)\n"
    "  -open         no wall from the last point back to the first\n"
    "  -nofloor      no floor mesh\n"
    "  -noceiling    no ceiling mesh\n"
    "  -wrap w       world length of one wall texture repeat (default: the height)\n"
    "  -reverse      wall texture U runs backwards\n"
    "  -lightmap     checker pattern of the light-map co-ordinates instead of the texture\n"
    "  -nocull       draw triangles that face away from the viewer too\n"
    "  -size w h     picture size in pixels (480 360)\n";

struct Options {
    float height = 3.0f, wrap = 0.0f;
    bool exterior = false, open = false, floor = true, ceiling = true, reverse = false, lightmap = false, cull = true;
    int width = 480, pictureHeight = 360;
    const char *picture = nullptr;
    std::vector<std::vector<float>> points;  // x, y, bottom, top, exclude bottom, exclude top
};

bool parseNumber(const char *text, float *out) {
    char *end = nullptr;
    *out = std::strtof(text, &end);
    return end != text && *end == '\0';
}

// "x,y", "x,y,bottom,top" or "x,y,bottom,top,flags".
bool parsePoint(const char *text, std::vector<float> *point) {
    std::string rest(text);
    std::vector<std::string> parts;
    for (size_t comma; (comma = rest.find(',')) != std::string::npos; rest.erase(0, comma + 1))
        parts.push_back(rest.substr(0, comma));
    parts.push_back(rest);
    if (parts.size() != 2 && parts.size() != 4 && parts.size() != 5) return false;
    point->assign(6, 0.0f);
    for (size_t i = 0; i < parts.size() && i < 4; i++)
        if (!parseNumber(parts[i].c_str(), &(*point)[i])) return false;
    if (parts.size() == 5) {
        if (parts[4].find_first_not_of("bt") != std::string::npos) return false;
        (*point)[4] = parts[4].find('b') != std::string::npos;
        (*point)[5] = parts[4].find('t') != std::string::npos;
    }
    return true;
}

bool parseArguments(int argc, char **argv, Options *o) {
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        bool hasValue = i + 1 < argc;
        if (a == "-height" && hasValue) {
            if (!parseNumber(argv[++i], &o->height)) return false;
        } else if (a == "-wrap" && hasValue) {
            if (!parseNumber(argv[++i], &o->wrap)) return false;
        } else if (a == "-size" && i + 2 < argc) {
            o->width = std::atoi(argv[++i]);
            o->pictureHeight = std::atoi(argv[++i]);
        } else if (a == "-exterior") o->exterior = true;
        else if (a == "-open") o->open = true;
        else if (a == "-nofloor") o->floor = false;
        else if (a == "-noceiling") o->ceiling = false;
        else if (a == "-reverse") o->reverse = true;
        else if (a == "-lightmap") o->lightmap = true;
        else if (a == "-nocull") o->cull = false;
        else if (!o->picture && a[0] != '-') o->picture = argv[i];
        else {
            std::vector<float> point;
            if (!parsePoint(argv[i], &point)) {
                std::fprintf(stderr, "wall_preview: %s: not an option nor a co-ordinate\n", argv[i]);
                return false;
            }
            o->points.push_back(point);
        }
    }
    return o->picture && o->points.size() >= 2 && o->width >= 16 && o->pictureHeight >= 16 && o->width <= 8192 &&
           o->pictureHeight <= 8192;
}

const char *kindName(_KxDWallMeshKind kind) {
    return kind == KXD_MESH_WALL ? "wall" : kind == KXD_MESH_FLOOR ? "floor" : "ceiling";
}

// The mesh's triangles in its colour, red where a triangle winds against its normals.
void collectTriangles(const KxDMeshData &mesh, int colour, const Options &o, std::vector<PreviewTriangle> *out) {
    const _KxDTexVertex *v = mesh.getVertexList();
    for (int f = 0; f < mesh.getFaceCount(); f++) {
        const uint16_t *idx = mesh.getIndexList() + 3 * f;
        const _KxDVector3D *corners[3] = {&v[idx[0]].position, &v[idx[1]].position, &v[idx[2]].position};
        if (o.cull && !previewFacesViewer(corners[0], corners[1], corners[2])) continue;
        _KxDVector3D ab, ac, front;
        kxdVecSub(&ab, corners[1], corners[0]);
        kxdVecSub(&ac, corners[2], corners[0]);
        kxdVecCross(&front, &ab, &ac);
        PreviewTriangle t = {};
        bool against = false;
        for (int k = 0; k < 3; k++) {
            t.p[k][0] = corners[k]->x;
            t.p[k][1] = corners[k]->y;
            t.p[k][2] = corners[k]->z;
            const _KxDVector2D &uv = o.lightmap ? mesh.getLightMapList()[idx[k]] : v[idx[k]].texture;
            t.uv[k][0] = uv.x;
            t.uv[k][1] = uv.y;
            against = against || kxdVecDot(&front, &v[idx[k]].normal) < 0.0f;
        }
        t.shade = previewShade(corners[0], corners[1], corners[2]);
        t.checker = o.lightmap ? 16.0f : 2.0f;
        const unsigned char red[3] = {230, 40, 40};
        if (against) std::memcpy(t.rgb, red, 3);
        else previewColour(colour, t.rgb);
        out->push_back(t);
    }
}

}  // namespace

int main(int argc, char **argv) {
    if (answerStandardFlag("wall_preview", kUsage, argc, argv)) return 0;
    Options o;
    if (!parseArguments(argc, argv, &o)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    KxDWallSurface surface(o.height, o.floor, o.ceiling);
    surface.setIsInterior(!o.exterior);
    surface.setAttachFinalWall(!o.open);
    surface.getWallTiling()->setWrap(o.wrap != 0.0f ? o.wrap : o.height);
    surface.getWallTiling()->setReverse(o.reverse, false);
    for (const std::vector<float> &p : o.points) {
        surface.addWallCoord(p[0], p[1], p[2], p[3]);
        surface.setWallExclusion(surface.getWallCoordCount() - 1, p[4] != 0.0f, p[5] != 0.0f);
    }

    std::printf("outline: %d points, %s, total distance %.3f\n", surface.getWallCoordCount(),
                surface.getIsClockwise() ? "clockwise" : "counter-clockwise", surface.getTotalDistance());
    int status = 0;
    if (!surface.getFloorProblem().empty()) {
        std::fprintf(stderr, "wall_preview: no floor or ceiling: %s\n", surface.getFloorProblem().c_str());
        status = 1;
    }
    std::vector<PreviewTriangle> triangles;
    for (int m = 0; m < surface.getMeshCount(); m++) {
        _KxDWallMeshKind kind = surface.getMeshKind(m);
        try {
            std::unique_ptr<KxDMeshData> mesh(surface.getMeshData(m, true));
            std::printf("mesh %d (%s): %d vertices, %d triangles\n", m, kindName(kind), mesh->getVertexCount(),
                        mesh->getFaceCount());
            collectTriangles(*mesh, kind == KXD_MESH_WALL ? 0 : kind == KXD_MESH_FLOOR ? 1 : 2, o, &triangles);
        } catch (const IOException &e) {
            std::fprintf(stderr, "wall_preview: %s mesh: %s\n", kindName(kind), e.getErrorString());
            status = 1;
        }
    }
    try {
        writePng(o.picture, o.width, o.pictureHeight, renderPreview(triangles, o.width, o.pictureHeight));
    } catch (const IOException &e) {
        std::fprintf(stderr, "wall_preview: %s: cannot write the picture: %s\n", o.picture, e.describe().c_str());
        return 1;
    }
    return status;
}
