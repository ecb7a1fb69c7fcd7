#ifndef KX_MESHGALLERY_MESHSUMMARY_H
#define KX_MESHGALLERY_MESHSUMMARY_H

// What the gallery shows of one mesh file: its groups, meshes, materials and separate 3D
// objects (as meshlister's object search finds them), with counts and boxes. Triangles are
// numbered over the whole file in file order (group, mesh, then the mesh's own order), as
// meshFileTriangles lists them for the pictures.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class KxDClipRegion3D;
class KxRlMeshFile;

// minX, minY, minZ, maxX, maxY, maxZ; empty (min above max) when there is nothing in it.
using GalleryBox = std::array<float, 6>;
bool isEmptyBox(const GalleryBox &box);
GalleryBox boxOf(const KxDClipRegion3D &region);

struct ObjectSummary {
    int firstVertex = 0;  // the object's lowest vertex: the number propcarver's -v and -cv take
    int vertices = 0;
    int triangles = 0;
    // Triangles that carving the object by its box takes (propcarver -cv, meshlister -xo):
    // its own, and those of other objects that lie wholly inside its box.
    int carvedTriangles = 0;
    GalleryBox box{};
    std::vector<uint32_t> triangleList;  // file-wide numbers of its own triangles
};

struct MeshSummary {
    std::array<std::string, 4> textures;   // base, reflective, light-map, specular ("" for none)
    std::array<uint8_t, 24> material{};    // the material record as read
    int vertices = 0;
    int triangles = 0;
    GalleryBox box{};
    size_t firstTriangle = 0;  // file-wide number of its first triangle
    std::vector<ObjectSummary> objects;
};

struct GroupSummary {
    std::string name;
    GalleryBox box{};
    int triangles = 0;
    size_t firstTriangle = 0;
    std::vector<MeshSummary> meshes;
};

struct FileSummary {
    std::vector<GroupSummary> groups;
    GalleryBox box{};
    int meshes = 0;
    int objects = 0;
    int triangles = 0;
    int vertices = 0;
    std::vector<std::string> textures;  // every texture name, each once, in order of first use
};

// Summarises a loaded mesh file (which must stay unchanged meanwhile).
FileSummary summariseMeshFile(const KxRlMeshFile &file);

#endif
