// Separate 3D objects of a mesh: the join rule, boxes, states, and comparisons on many random
// meshes with a direct implementation of the vertex-by-vertex search, and of the clip of an
// object's box through the mesh's index with the writer's scan of every vertex.

#include "IOException.h"
#include "KxRlMeshTraversal.h"

#include "KxDMeshData.h"
#include "KxRlMesh.h"
#include "KxRlMeshClipIndex.h"
#include "KxRlMeshGroup.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlMeshMaterial.h"
#include "KxRlRebuiltProp.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace {

struct Point {
    float x, y, z;
};

KxRlMeshMaterial material;

// Mesh data of these positions and triangles; texture co-ordinates differ from vertex to
// vertex, so that a written file shows which vertices went into it.
std::unique_ptr<KxDMeshData> makeData(const std::vector<Point> &points, const std::vector<uint16_t> &indices) {
    std::unique_ptr<KxDMeshData> data(new KxDMeshData());
    data->allocate(static_cast<int>(points.size()), static_cast<int>(indices.size() / 3), false);
    for (size_t i = 0; i < points.size(); i++) {
        _KxDTexVertex &v = data->getVertexList()[i];
        kxdVecSet(&v.position, points[i].x, points[i].y, points[i].z);
        kxdVecSet(&v.normal, 0, 0, 1);
        kxdVecSet(&v.texture, static_cast<float>(i % 7), 0);
    }
    if (!indices.empty()) std::memcpy(data->getIndexList(), indices.data(), indices.size() * sizeof(uint16_t));
    return data;
}

std::unique_ptr<KxRlMesh> makeMesh(const std::vector<Point> &points, const std::vector<uint16_t> &indices) {
    return std::unique_ptr<KxRlMesh>(KxRlMesh::CreateFromData(&material, makeData(points, indices).get()));
}

// A group of one mesh with these positions and triangles.
std::unique_ptr<KxRlMeshGroup> makeGroup(const std::vector<Point> &points, const std::vector<uint16_t> &indices) {
    std::unique_ptr<KxDMeshData> data = makeData(points, indices);
    KxDMeshData *list[1] = {data.get()};
    return std::unique_ptr<KxRlMeshGroup>(KxRlMeshGroup::CreateFromData(&material, 1, list));
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();

// Up to `maxVertices` vertices on few distinct co-ordinates, so that many positions coincide
// (infinities and not-a-number now and then), and triangles mostly between neighbouring
// vertices, sometimes degenerate or beyond the vertices.
void randomMesh(std::mt19937 &random, int maxVertices, std::vector<Point> &points, std::vector<uint16_t> &indices) {
    const float infinity = std::numeric_limits<float>::infinity();
    const float values[] = {0.0f, -0.0f, 1.0f, 2.5f, -3.0f, infinity, -infinity, kNaN};
    int vertexCount = static_cast<int>(random() % static_cast<unsigned>(maxVertices));
    points.assign(static_cast<size_t>(vertexCount), Point{0, 0, 0});
    for (Point &p : points) {
        auto pick = [&]() { return values[random() % (random() % 8 == 0 ? 8 : 5)]; };
        p = {pick(), pick(), pick()};
    }
    indices.clear();
    int triangles = vertexCount > 0 ? static_cast<int>(random() % (vertexCount / 2 + 1)) : 0;
    for (int t = 0; t < 3 * triangles; t++) {
        int base = static_cast<int>(random() % vertexCount);
        int index = random() % 16 == 0 ? vertexCount + static_cast<int>(random() % 3)
                                       : (base + static_cast<int>(random() % 3)) % vertexCount;
        indices.push_back(static_cast<uint16_t>(index));
    }
}

std::vector<int> startsOf(KxRlMeshTraversal &traversal) {
    std::unique_ptr<KxRlTraverseAllResult> result(traversal.traverseAll());
    return std::vector<int>(result->getVertices(), result->getVertices() + result->getCount());
}

// The search as plainly as it can be written: each processed vertex scans every vertex for an
// equal position and every triangle for one that holds it; the lowest waiting vertex goes next.
class DirectTraversal {
public:
    explicit DirectTraversal(const KxRlMesh *mesh) : mesh(mesh), states(mesh->getVertexCount(), 0) {}

    void traverse(int v) {
        process(v);
        for (;;) {
            int next = -1;
            for (size_t w = 0; w < states.size() && next < 0; w++)
                if (states[w] == 1) next = static_cast<int>(w);
            if (next < 0) return;
            process(next);
        }
    }

    std::vector<int> traverseAll() {
        std::vector<int> starts;
        for (;;) {
            int next = -1;
            for (size_t w = 0; w < states.size() && next < 0; w++)
                if (states[w] == 0) next = static_cast<int>(w);
            if (next < 0) return starts;
            starts.push_back(next);
            traverse(next);
        }
    }

    KxDClipRegion3D box;
    const KxRlMesh *mesh;
    std::vector<uint8_t> states;

private:
    void process(int v) {
        const _KxDTexVertex *vertices = mesh->getVertexList();
        int count = mesh->getVertexCount();
        states[v] = 2;
        box.clipTo(&vertices[v].position);
        for (int w = 0; w < count; w++)
            if (w != v && states[w] == 0 && kxdVecEqual(&vertices[w].position, &vertices[v].position)) states[w] = 1;
        const uint16_t *indices = mesh->getIndexList();
        for (int i = 0; i + 2 < mesh->getIndexCount(); i += 3) {
            if (indices[i] != v && indices[i + 1] != v && indices[i + 2] != v) continue;
            for (int k = 0; k < 3; k++)
                if (indices[i + k] < count && states[indices[i + k]] == 0) states[indices[i + k]] = 1;
        }
    }
};

// Same bits, so that -0.0 and 0.0 count as different ends of a box.
void expectSameBits(const KxDClipRegion3D *expected, const KxDClipRegion3D *actual) {
    const float a[6] = {expected->getMinX(), expected->getMinY(), expected->getMinZ(),
                        expected->getMaxX(), expected->getMaxY(), expected->getMaxZ()};
    const float b[6] = {actual->getMinX(), actual->getMinY(), actual->getMinZ(),
                        actual->getMaxX(), actual->getMaxY(), actual->getMaxZ()};
    EXPECT_EQ(0, std::memcmp(a, b, sizeof a));
}

void expectSameBox(const KxDClipRegion3D *expected, const KxRlMeshTraversal &traversal) {
    expectSameBits(expected, traversal.getClipRegion());
}

}  // namespace

TEST(MeshTraversal, emptyMeshesHaveNoObjects) {
    std::unique_ptr<KxRlMesh> empty = makeMesh({}, {});
    KxRlMeshTraversal traversal(empty.get());
    EXPECT_TRUE(startsOf(traversal).empty());
    traversal.traverse(0);
    EXPECT_FALSE(traversal.isInTraversal(0));
    KxRlMeshTraversal none(static_cast<const KxRlMesh *>(nullptr));
    EXPECT_EQ(0, none.getVertexCount());
    EXPECT_TRUE(startsOf(none).empty());
}

TEST(MeshTraversal, exactlyEqualPositionsJoinAndNearlyEqualOnesDoNot) {
    const float nearOne = std::nextafter(1.0f, 2.0f);
    // Triangles 0-1-2 and 3-4-5; vertex 4 sits exactly on vertex 1 in the first mesh.
    std::unique_ptr<KxRlMesh> joined =
        makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {2, 0, 0}, {1, 0, 0}, {2, 1, 0}}, {0, 1, 2, 3, 4, 5});
    KxRlMeshTraversal one(joined.get());
    EXPECT_EQ(std::vector<int>({0}), startsOf(one));

    std::unique_ptr<KxRlMesh> apart =
        makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {2, 0, 0}, {nearOne, 0, 0}, {2, 1, 0}}, {0, 1, 2, 3, 4, 5});
    KxRlMeshTraversal two(apart.get());
    EXPECT_EQ(std::vector<int>({0, 3}), startsOf(two));

    // -0.0 is the position 0.0; a not-a-number position equals nothing, not even itself.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::unique_ptr<KxRlMesh> odd =
        makeMesh({{5, 5, 5}, {0, 0, 0}, {-0.0f, 0, -0.0f}, {nan, 0, 0}, {nan, 0, 0}, {5, 5, 5}}, {});
    KxRlMeshTraversal split(odd.get());
    EXPECT_EQ(std::vector<int>({0, 1, 3, 4}), startsOf(split));
}

TEST(MeshTraversal, traverseGrowsOneBoxUntilReset) {
    std::unique_ptr<KxRlMesh> mesh =
        makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 2, 0}, {5, 5, 5}, {6, 5, 5}, {5, 6, 7}, {9, 9, 9}}, {0, 1, 2, 3, 4, 5});
    KxRlMeshTraversal traversal(mesh.get());
    traversal.traverse(1);
    EXPECT_EQ(0.0f, traversal.getMinX());
    EXPECT_EQ(1.0f, traversal.getMaxX());
    EXPECT_EQ(2.0f, traversal.getMaxY());
    EXPECT_EQ(0.0f, traversal.getMaxZ());
    EXPECT_EQ(1.0f, traversal.getMidY());
    EXPECT_TRUE(traversal.isInTraversal(0));
    EXPECT_FALSE(traversal.isInTraversal(3));

    traversal.traverse(5);
    EXPECT_EQ(0.0f, traversal.getMinX());
    EXPECT_EQ(6.0f, traversal.getMaxX());
    EXPECT_EQ(7.0f, traversal.getMaxZ());
    EXPECT_TRUE(traversal.isInTraversal(3));
    EXPECT_FALSE(traversal.isInTraversal(6));  // used by no triangle: an object of its own
    EXPECT_FALSE(traversal.isInTraversal(-1));
    EXPECT_FALSE(traversal.isInTraversal(7));
    traversal.traverse(7);  // out of range: nothing happens
    EXPECT_EQ(6.0f, traversal.getMaxX());

    EXPECT_EQ(std::vector<int>({0, 3, 6}), startsOf(traversal));
    EXPECT_GT(traversal.getMinX(), traversal.getMaxX());
    for (int v = 0; v < 7; v++) EXPECT_FALSE(traversal.isInTraversal(v));
}

TEST(MeshTraversal, indicesBeyondTheVerticesLinkNothing) {
    std::unique_ptr<KxRlMesh> mesh = makeMesh({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, {0, 9, 1, 2, 2, 60000});
    KxRlMeshTraversal traversal(mesh.get());
    EXPECT_EQ(std::vector<int>({0, 2}), startsOf(traversal));
}

TEST(MeshTraversal, matchesTheDirectSearchOnRandomMeshes) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 400; round++) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::vector<Point> points;
        std::vector<uint16_t> indices;
        randomMesh(random, 40, points, indices);
        const int vertexCount = static_cast<int>(points.size());
        std::unique_ptr<KxRlMesh> mesh = makeMesh(points, indices);

        // The mesh's box, worked out once, is the one grown by every position in turn.
        KxDClipRegion3D grown, once;
        for (const Point &p : points) grown.clipTo(p.x, p.y, p.z);
        mesh->calcPosBounds(&once);
        expectSameBits(&grown, &once);

        DirectTraversal direct(mesh.get());
        std::vector<int> expected = direct.traverseAll();
        KxRlMeshTraversal fast(mesh.get());
        std::unique_ptr<KxRlTraverseAllResult> all(fast.traverseAll());
        ASSERT_EQ(expected, std::vector<int>(all->getVertices(), all->getVertices() + all->getCount()));

        // Each object on its own, then two objects into one box.
        for (size_t s = 0; s < expected.size(); s++) {
            DirectTraversal one(mesh.get());
            one.traverse(expected[s]);
            const KxDClipRegion3D *box = all->getClipRegion(static_cast<int>(s));
            EXPECT_TRUE(box->getMinX() == one.box.getMinX() && box->getMaxX() == one.box.getMaxX() &&
                        box->getMinY() == one.box.getMinY() && box->getMaxY() == one.box.getMaxY() &&
                        box->getMinZ() == one.box.getMinZ() && box->getMaxZ() == one.box.getMaxZ())
                << "object " << s;
            fast.reset();
            fast.traverse(expected[s]);
            expectSameBox(&one.box, fast);
            for (int v = 0; v < vertexCount; v++)
                ASSERT_EQ(one.states[v] == 2, fast.isInTraversal(v)) << "vertex " << v;
        }
        if (vertexCount > 0) {
            int a = static_cast<int>(random() % vertexCount), b = static_cast<int>(random() % vertexCount);
            DirectTraversal both(mesh.get());
            both.traverse(a);
            both.traverse(b);
            fast.reset();
            fast.traverse(a);
            fast.traverse(b);
            expectSameBox(&both.box, fast);
        }
    }
}

TEST(MeshTraversal, clipThroughTheIndexWritesWhatTheScanWrites) {
    TempFolder folder;
    const std::string path = folder.file("clip.msh");
    std::mt19937 random(20240612);
    const float ends[] = {-3.0f, -0.0f, 0.0f, 1.0f, 2.5f, 4.0f, kNaN};
    auto end = [&]() { return ends[random() % 7]; };
    for (int round = 0; round < 40; round++) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::vector<Point> points;
        std::vector<uint16_t> indices;
        randomMesh(random, 160, points, indices);
        std::unique_ptr<KxRlMeshGroup> group = makeGroup(points, indices);
        const KxRlMesh *mesh = group->getMesh(0);
        KxRlMeshClipIndex index(mesh);
        KxRlMeshTraversal traversal(mesh);
        std::unique_ptr<KxRlTraverseAllResult> objects(traversal.traverseAll());

        // The file written for one set of regions, with the index or without it.
        auto written = [&](const std::vector<KxDClipRegion3D> &groupRegions,
                           const std::vector<KxDClipRegion3D> &meshRegions, const KxRlMeshClipIndex *through) {
            KxRlRebuiltProp prop;
            KxRlMeshGroupRef *ref = new KxRlMeshGroupRef(group.get());
            for (const KxDClipRegion3D &r : groupRegions) ref->addClipRegion(&r);
            for (const KxDClipRegion3D &r : meshRegions) ref->addClipRegion(0, &r);
            prop.addMeshGroupRef(ref);
            prop.setClipIndex(through);
            std::srand(7);
            // Positions that are not finite are refused by the writer, alike both ways.
            try {
                prop.exportMesh(path.c_str());
            } catch (const IOException &e) {
                return std::string("refused: ") + e.getErrorString();
            }
            return readFileBytes(path);
        };
        // Each object's box, then random boxes on the group, on the mesh, and on both.
        std::vector<std::vector<KxDClipRegion3D>> cases;
        for (int i = 0; i < objects->getCount() && i < 8; i++)
            cases.push_back({KxDClipRegion3D(objects->getClipRegion(i))});
        for (int k = 0; k < 3; k++)
            cases.push_back({KxDClipRegion3D(end(), end(), end(), end(), end(), end())});
        for (size_t c = 0; c < cases.size(); c++) {
            SCOPED_TRACE("case " + std::to_string(c));
            ASSERT_EQ(written(cases[c], {}, nullptr), written(cases[c], {}, &index));
            ASSERT_EQ(written({}, cases[c], nullptr), written({}, cases[c], &index));
            const std::vector<KxDClipRegion3D> &other = cases[(c + 1) % cases.size()];
            ASSERT_EQ(written(cases[c], other, nullptr), written(cases[c], other, &index));
        }
    }
}
