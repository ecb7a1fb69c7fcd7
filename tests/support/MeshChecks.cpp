#include "MeshChecks.h"

#include "KxDClipRegion.h"
#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshMaterial.h"

#include <gtest/gtest.h>
#include <string>

MshMesh mshTriangles(int material, const MshPoints &points, const std::vector<uint16_t> &triangles, uint8_t flag0) {
    MshMesh mesh;
    mesh.materialIndex = material;
    mesh.flags[0] = flag0;
    mesh.posBounds = {{-20, -20, -20, 20, 20, 20}};
    for (const auto &p : points) mesh.vertices.push_back(mshVertex(mesh, p[0], p[1], p[2], 0, 0, 1, 0, 0));
    mesh.indices = triangles;
    return mesh;
}

std::unique_ptr<KxRlMeshFile> readMeshFile(const std::string &path) {
    return std::unique_ptr<KxRlMeshFile>(KxRlMeshFile::CreateFromFile(path.c_str()));
}

const char *slotName(const KxRlMesh *mesh, int slot) {
    const KxRlMeshBitmap *bitmap = mesh->getMaterial()->getBitmap(slot);
    return bitmap ? bitmap->getFilename() : "(none)";
}

const char *slotName(const KxRlMeshFile &file, int group, int mesh, int slot) {
    return slotName(file.getMesh(group, mesh), slot);
}

void expectBox(const KxRlMeshFile &file, int group, int mesh, int vertices, std::array<float, 6> box) {
    SCOPED_TRACE("group " + std::to_string(group) + " mesh " + std::to_string(mesh));
    ASSERT_LT(group, file.getMeshGroupCount());
    ASSERT_LT(mesh, file.getMeshCount(group));
    const KxRlMesh *m = file.getMesh(group, mesh);
    EXPECT_EQ(vertices, m->getVertexCount());
    KxDClipRegion3D actual;
    m->calcPosBounds(&actual);
    const float got[6] = {actual.getMinX(), actual.getMinY(), actual.getMinZ(),
                          actual.getMaxX(), actual.getMaxY(), actual.getMaxZ()};
    for (int i = 0; i < 6; i++) EXPECT_NEAR(box[i], got[i], 2e-3) << "box value " << i;
}

void expectFacesOut(const KxRlMesh &m) {
    EXPECT_GT(m.getIndexCount(), 0);
    const _KxDTexVertex *v = m.getVertexList();
    for (int i = 0; i + 2 < m.getIndexCount(); i += 3) {
        const _KxDVector3D &a = v[m.getIndexList()[i]].position, &b = v[m.getIndexList()[i + 1]].position,
                           &c = v[m.getIndexList()[i + 2]].position, &n = v[m.getIndexList()[i]].normal;
        float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z, wx = c.x - a.x, wy = c.y - a.y, wz = c.z - a.z;
        float dot = (uy * wz - uz * wy) * n.x + (uz * wx - ux * wz) * n.y + (ux * wy - uy * wx) * n.z;
        EXPECT_GT(dot, 0.0f) << "triangle " << i / 3;
    }
}

void expectFacesOut(const KxRlMeshFile &file, int group, int mesh) { expectFacesOut(*file.getMesh(group, mesh)); }
