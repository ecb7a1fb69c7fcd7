#include "RoomChecks.h"

#include "KxRlMesh.h"
#include "MshBuilder.h"
#include "ToolHarness.h"

#include <cmath>

std::string boxProp() {
    MshDescription d;
    d.bitmaps = {"box.dds"};
    d.materials = {mshMaterial(0)};
    MshGroup group;
    group.name = "box";
    MshMesh mesh;
    mesh.posBounds = {{-1, -1, -1, 1, 1, 1}};
    mesh.vertices = {mshVertex(mesh, -0.5f, 0, 0, 0, 0, 1, 0, 0), mshVertex(mesh, 0.5f, 0.25f, 0, 0, 0, 1, 1, 0),
                     mshVertex(mesh, 0, 0, 1, 0, 0, 1, 0, 1)};
    mesh.indices = {0, 1, 2};
    group.meshes = {mesh};
    d.groups = {group};
    return bytesOf(buildMsh(d));
}

bool coversOnFront(const KxRlMesh *mesh, float x, float z) {
    const _KxDTexVertex *v = mesh->getVertexList();
    for (int i = 0; i + 2 < mesh->getIndexCount(); i += 3) {
        const _KxDVector3D *c[3] = {&v[mesh->getIndexList()[i]].position, &v[mesh->getIndexList()[i + 1]].position,
                                    &v[mesh->getIndexList()[i + 2]].position};
        if (std::fabs(c[0]->y) > 1e-3f || std::fabs(c[1]->y) > 1e-3f || std::fabs(c[2]->y) > 1e-3f) continue;
        float s[3];
        for (int k = 0; k < 3; k++) {
            const _KxDVector3D *a = c[k], *b = c[(k + 1) % 3];
            s[k] = (b->x - a->x) * (z - a->z) - (x - a->x) * (b->z - a->z);
        }
        if ((s[0] >= 0 && s[1] >= 0 && s[2] >= 0) || (s[0] <= 0 && s[1] <= 0 && s[2] <= 0)) return true;
    }
    return false;
}
