// Separate 3D objects of a mesh: the join rule, boxes, states, and a comparison with a direct
// implementation of the vertex-by-vertex search on many random meshes.

#include "KxRlMeshTraversal.h"

#include "KxDMeshData.h"
#include "KxRlMesh.h"
#include "KxRlMeshMaterial.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace {

struct Point {
    float x, y, z;
};

std::unique_ptr<KxRlMesh> makeMesh(const std::vector<Point> &points, const std::vector<uint16_t> &indices) {
    static KxRlMeshMaterial material;
    KxDMeshData data;
    data.allocate(static_cast<int>(points.size()), static_cast<int>(indices.size() / 3), false);
    for (size_t i = 0; i < points.size(); i++) {
        _KxDTexVertex &v = data.getVertexList()[i];
        kxdVecSet(&v.position, points[i].x, points[i].y, points[i].z);
        kxdVecSet(&v.normal, 0, 0, 1);
        kxdVecSet(&v.texture, 0, 0);
    }
    if (!indices.empty()) std::memcpy(data.getIndexList(), indices.data(), indices.size() * sizeof(uint16_t));
    return std::unique_ptr<KxRlMesh>(KxRlMesh::CreateFromData(&material, &data));
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
void expectSameBox(const KxDClipRegion3D *expected, const KxRlMeshTraversal &traversal) {
    const float a[6] = {expected->getMinX(), expected->getMinY(), expected->getMinZ(),
                        expected->getMaxX(), expected->getMaxY(), expected->getMaxZ()};
    const float b[6] = {traversal.getMinX(), traversal.getMinY(), traversal.getMinZ(),
                        traversal.getMaxX(), traversal.getMaxY(), traversal.getMaxZ()};
    EXPECT_EQ(0, std::memcmp(a, b, sizeof a));
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
    const float values[] = {0.0f, -0.0f, 1.0f, 2.5f, -3.0f, std::numeric_limits<float>::quiet_NaN()};
    for (int round = 0; round < 400; round++) {
        SCOPED_TRACE("round " + std::to_string(round));
        int vertexCount = static_cast<int>(random() % 40);
        std::vector<Point> points(vertexCount);
        for (Point &p : points) {
            // Few distinct values, so that many positions coincide; NaN now and then.
            auto pick = [&]() { return values[random() % (random() % 8 == 0 ? 6 : 5)]; };
            p = {pick(), pick(), pick()};
        }
        std::vector<uint16_t> indices;
        int triangles = vertexCount > 0 ? static_cast<int>(random() % (vertexCount / 2 + 1)) : 0;
        for (int t = 0; t < 3 * triangles; t++) {
            // Mostly near each other (small objects), sometimes degenerate or out of range.
            int base = static_cast<int>(random() % vertexCount);
            int index = random() % 16 == 0 ? vertexCount + static_cast<int>(random() % 3)
                                           : (base + static_cast<int>(random() % 3)) % vertexCount;
            indices.push_back(static_cast<uint16_t>(index));
        }
        std::unique_ptr<KxRlMesh> mesh = makeMesh(points, indices);

        DirectTraversal direct(mesh.get());
        std::vector<int> expected = direct.traverseAll();
        KxRlMeshTraversal fast(mesh.get());
        ASSERT_EQ(expected, startsOf(fast));

        // Each object on its own, then two objects into one box.
        for (size_t s = 0; s < expected.size(); s++) {
            DirectTraversal one(mesh.get());
            one.traverse(expected[s]);
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
