#ifndef KX_TESTS_MESH_REBUILTPROPTESTSUPPORT_H
#define KX_TESTS_MESH_REBUILTPROPTESTSUPPORT_H

// Small helpers of the writer tests: source meshes described by plain vertices, files written
// to a temporary folder and read back through the reader.

#include "KxRlMeshFile.h"
#include "KxRlRebuiltProp.h"
#include "MshBuilder.h"
#include "TempFolder.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

// Position, normal and texture co-ordinates of one source vertex.
struct PlainVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};

// A mesh record of the given vertices and triangles, with position and texture bounds that
// span them exactly.
inline MshMesh plainMesh(const std::vector<PlainVertex> &vertices, const std::vector<uint16_t> &indices,
                         int32_t materialIndex = 0) {
    MshMesh mesh;
    mesh.materialIndex = materialIndex;
    if (!vertices.empty()) {
        std::array<float, 6> p{
            {vertices[0].x, vertices[0].y, vertices[0].z, vertices[0].x, vertices[0].y, vertices[0].z}};
        std::array<float, 4> t{{vertices[0].u, vertices[0].v, vertices[0].u, vertices[0].v}};
        for (const PlainVertex &v : vertices) {
            p[0] = std::min(p[0], v.x), p[1] = std::min(p[1], v.y), p[2] = std::min(p[2], v.z);
            p[3] = std::max(p[3], v.x), p[4] = std::max(p[4], v.y), p[5] = std::max(p[5], v.z);
            t[0] = std::min(t[0], v.u), t[1] = std::min(t[1], v.v);
            t[2] = std::max(t[2], v.u), t[3] = std::max(t[3], v.v);
        }
        mesh.posBounds = p;
        mesh.texBounds = t;
    }
    for (const PlainVertex &v : vertices)
        mesh.vertices.push_back(mshVertex(mesh, v.x, v.y, v.z, v.nx, v.ny, v.nz, v.u, v.v));
    mesh.indices = indices;
    return mesh;
}

// A triangle facing +Z at height z, its corners at (x, 0), (x + 1, 0), (x, 1).
inline std::vector<PlainVertex> flatTriangle(float x, float z = 0.0f) {
    return {{x, 0, z, 0, 0, 1, 0, 0}, {x + 1, 0, z, 0, 0, 1, 1, 0}, {x, 1, z, 0, 0, 1, 0, 1}};
}

// A file of one group holding the given meshes, all using material 0 with texture "base.dds".
inline MshDescription oneGroupFile(const std::vector<MshMesh> &meshes) {
    MshDescription d;
    d.bitmaps = {"base.dds"};
    d.materials = {mshMaterial(0)};
    MshGroup group;
    group.meshes = meshes;
    group.name = "group";
    d.groups = {group};
    d.flags[1] = 1;
    return d;
}

// Test fixture: a temporary folder with a source file and the prop's output beside it.
class WriterFiles {
public:
    // Writes the source description and reads it as a model.
    KxRlMeshFile *load(const MshDescription &description, const std::string &name = "source.msh") {
        std::string path = folder.write(name, buildMsh(description));
        sources.emplace_back(KxRlMeshFile::CreateFromFile(path.c_str()));
        return sources.back().get();
    }
    // Exports the prop to `name` and reads the result back.
    std::unique_ptr<KxRlMeshFile> exportAndRead(KxRlRebuiltProp &prop, const std::string &name = "out.msh") {
        std::string path = folder.file(name);
        prop.exportMesh(path.c_str());
        return std::unique_ptr<KxRlMeshFile>(KxRlMeshFile::CreateFromFile(path.c_str()));
    }
    std::string path(const std::string &name) const { return folder.file(name); }

    TempFolder folder;

private:
    std::vector<std::unique_ptr<KxRlMeshFile>> sources;
};

#endif
