#include "MeshSummary.h"

#include "KxDClipRegion.h"
#include "KxRlMesh.h"
#include "KxRlMeshClipIndex.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroup.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlMeshMaterial.h"
#include "KxRlMeshTraversal.h"

#include <algorithm>
#include <cstring>
#include <memory>

bool isEmptyBox(const GalleryBox &box) { return box[0] > box[3] || box[1] > box[4] || box[2] > box[5]; }

GalleryBox boxOf(const KxDClipRegion3D &region) {
    return {region.getMinX(), region.getMinY(), region.getMinZ(), region.getMaxX(), region.getMaxY(), region.getMaxZ()};
}

namespace {

// The objects of mesh `meshNumber` of group `group`, with their triangles and what carving
// each by its box takes.
std::vector<ObjectSummary> objectsOf(const KxRlMeshFile &file, int group, int meshNumber, size_t firstTriangle) {
    const KxRlMesh *mesh = file.getMesh(group, meshNumber);
    KxRlMeshTraversal traversal(mesh);
    std::vector<int> objectOfVertex;
    std::unique_ptr<KxRlTraverseAllResult> found(traversal.traverseAll(&objectOfVertex));
    std::vector<ObjectSummary> objects(static_cast<size_t>(found->getCount()));
    for (int i = 0; i < found->getCount(); i++) {
        objects[i].firstVertex = found->getVertex(i);
        objects[i].box = boxOf(*found->getClipRegion(i));
    }
    for (int object : objectOfVertex) objects[object].vertices++;
    const uint16_t *indices = mesh->getIndexList();
    const int triangles = mesh->getIndexCount() / 3;
    for (int t = 0; t < triangles; t++) {
        // The reader has checked every corner against the vertex count.
        ObjectSummary &object = objects[objectOfVertex[indices[3 * t]]];
        object.triangles++;
        object.triangleList.push_back(static_cast<uint32_t>(firstTriangle + t));
    }
    if (objects.empty()) return objects;
    // Carving keeps every vertex inside the object's box and every triangle whose corners are
    // all kept: the same clip as the writer's, through one index for the whole mesh.
    KxRlMeshClipIndex index(mesh);
    KxRlMeshGroupRef ref(const_cast<KxRlMeshFile *>(&file), group);
    ref.activateAllMeshes(false);
    ref.activateMesh(meshNumber, true);
    std::vector<int> keptVertices;
    std::vector<uint16_t> keptIndices;
    for (int i = 0; i < found->getCount(); i++) {
        ref.addClipRegion(found->getClipRegion(i));
        index.clip(&ref, meshNumber, &keptVertices, &keptIndices);
        objects[i].carvedTriangles = static_cast<int>(keptIndices.size() / 3);
        ref.removeClipRegion(0);
    }
    return objects;
}

}  // namespace

FileSummary summariseMeshFile(const KxRlMeshFile &file) {
    FileSummary summary;
    KxDClipRegion3D region;
    file.calcPosBounds(&region);
    summary.box = boxOf(region);
    size_t triangle = 0;
    for (int g = 0; g < file.getMeshGroupCount(); g++) {
        const KxRlMeshGroup *group = file.getMeshGroup(g);
        GroupSummary groupSummary;
        groupSummary.name = group->getName();
        group->calcPosBounds(&region);
        groupSummary.box = boxOf(region);
        groupSummary.firstTriangle = triangle;
        for (int m = 0; m < file.getMeshCount(g); m++) {
            const KxRlMesh *mesh = file.getMesh(g, m);
            MeshSummary meshSummary;
            const KxRlMeshMaterial *material = mesh->getMaterial();
            for (int slot = 0; slot < 4; slot++) {
                const KxRlMeshBitmap *bitmap = material ? material->getBitmap(slot) : nullptr;
                meshSummary.textures[slot] = bitmap ? bitmap->getFilename() : "";
                const std::string &name = meshSummary.textures[slot];
                if (!name.empty() && std::find(summary.textures.begin(), summary.textures.end(), name) ==
                                         summary.textures.end())
                    summary.textures.push_back(name);
            }
            if (material) std::memcpy(meshSummary.material.data(), material->getRawData(), 24);
            meshSummary.vertices = mesh->getVertexCount();
            meshSummary.triangles = mesh->getIndexCount() / 3;
            mesh->calcPosBounds(&region);
            meshSummary.box = boxOf(region);
            meshSummary.firstTriangle = triangle;
            meshSummary.objects = objectsOf(file, g, m, triangle);
            triangle += static_cast<size_t>(meshSummary.triangles);
            groupSummary.triangles += meshSummary.triangles;
            summary.meshes++;
            summary.objects += static_cast<int>(meshSummary.objects.size());
            summary.vertices += meshSummary.vertices;
            groupSummary.meshes.push_back(std::move(meshSummary));
        }
        summary.triangles += groupSummary.triangles;
        summary.groups.push_back(std::move(groupSummary));
    }
    return summary;
}
