#include "DeskFile.h"

#include "MshBuilder.h"
#include "ToolHarness.h"

#include <array>
#include <vector>

namespace {

// One triangle per entry of `corners` (three x, y, z corners each), each with vertices of its
// own, in a box of 0 to 10 on every axis.
MshMesh triangles(const std::vector<std::array<float, 9>> &corners) {
    MshMesh mesh;
    mesh.posBounds = {{0, 0, 0, 10, 10, 10}};
    for (const auto &c : corners) {
        for (int k = 0; k < 3; k++) {
            mesh.indices.push_back(static_cast<uint16_t>(mesh.vertices.size()));
            mesh.vertices.push_back(mshVertex(mesh, c[3 * k], c[3 * k + 1], c[3 * k + 2], 0, 0, 1, 0, 0));
        }
    }
    return mesh;
}

}  // namespace

std::string deskFile(const std::string &groupName) {
    MshDescription d;
    d.flags[1] = 0x01;  // group names present
    d.bitmaps = {"desk.dds"};
    d.materials = {mshMaterial(0)};
    MshGroup group;
    group.name = groupName;
    group.meshes.push_back(triangles({{{0, 0, 0, 1, 0, 0, 0, 1, 0}},
                                      {{4, 4, 4, 5, 4, 4, 4, 5, 4}},
                                      {{8, 8, 8, 9, 8, 8, 8, 9, 8}}}));
    group.meshes.push_back(triangles({{{0, 0, 0, 2, 0, 0, 0, 2, 0}}, {{2, 0, 0, 4, 0, 0, 4, 2, 0}}}));
    d.groups.push_back(group);
    return bytesOf(buildMsh(d));
}
