#include "GalleryGame.h"

#include "MshBuilder.h"
#include "ToolHarness.h"

#include <algorithm>

std::string boxesFile(const std::vector<TestGroup> &groups) {
    MshDescription d;
    d.flags[1] = 0x01;  // group names present
    for (const TestGroup &group : groups) {
        MshGroup out;
        out.name = group.name;
        for (const TestMesh &mesh : group.meshes) {
            MshMesh m;
            m.posBounds = {{0, 0, 0, 10, 10, 10}};
            uint8_t bitmap = 0xFF;
            if (!mesh.texture.empty()) {
                auto found = std::find(d.bitmaps.begin(), d.bitmaps.end(), mesh.texture);
                bitmap = static_cast<uint8_t>(found - d.bitmaps.begin());
                if (found == d.bitmaps.end()) d.bitmaps.push_back(mesh.texture);
            }
            m.materialIndex = static_cast<int32_t>(d.materials.size());
            d.materials.push_back(mshMaterial(bitmap));
            for (const TestBox &b : mesh.boxes) {
                uint16_t first = static_cast<uint16_t>(m.vertices.size());
                for (int corner = 0; corner < 8; corner++)
                    m.vertices.push_back(mshVertex(m, b[(corner & 1) ? 3 : 0], b[(corner & 2) ? 4 : 1],
                                                   b[(corner & 4) ? 5 : 2], 0, 0, 1, 0, 0));
                // Two triangles per face, corners numbered by their x, y, z bits.
                static const int faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                                {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
                for (const auto &f : faces)
                    for (int k : {f[0], f[1], f[2], f[0], f[2], f[3]}) m.indices.push_back(static_cast<uint16_t>(first + k));
            }
            out.meshes.push_back(m);
        }
        d.groups.push_back(out);
    }
    return bytesOf(buildMsh(d));
}
