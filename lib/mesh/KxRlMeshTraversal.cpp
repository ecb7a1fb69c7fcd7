#include "KxRlMeshTraversal.h"

#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroup.h"

#include <cstring>
#include <vector>

namespace {

// Bits of a co-ordinate for hashing: -0.0 and 0.0 are the same position, so both hash alike.
uint32_t coordinateBits(float value) {
    float normalised = value + 0.0f;  // -0.0 + 0.0 is +0.0; every other value is unchanged
    uint32_t bits;
    std::memcpy(&bits, &normalised, sizeof bits);
    return bits;
}

uint32_t mix(uint32_t h) {
    h ^= h >> 16;
    h *= 0x7feb352dU;
    h ^= h >> 15;
    h *= 0x846ca68bU;
    h ^= h >> 16;
    return h;
}

uint32_t positionHash(const _KxDVector3D *p) {
    return mix(coordinateBits(p->x) * 0x9E3779B1U + coordinateBits(p->y) * 0x85EBCA77U +
               coordinateBits(p->z) * 0xC2B2AE3DU);
}

bool hasNaN(const _KxDVector3D *p) { return p->x != p->x || p->y != p->y || p->z != p->z; }

// Calls `join(v, first)` for every vertex v whose position equals that of a lower vertex,
// `first` being the lowest vertex at that position. Found through a hash table of the first
// vertex of each position, which lives only for the call.
template <typename Join>
void forEachEqualPosition(const _KxDTexVertex *vertices, int count, Join join) {
    size_t tableSize = 16;
    while (tableSize < 2 * static_cast<size_t>(count)) tableSize *= 2;
    std::vector<int> table(tableSize, -1);
    for (int v = 0; v < count; v++) {
        const _KxDVector3D *p = &vertices[v].position;
        if (hasNaN(p)) continue;  // equal to no other position
        size_t slot = positionHash(p) & (tableSize - 1);
        while (table[slot] >= 0 && !kxdVecEqual(&vertices[table[slot]].position, p))
            slot = (slot + 1) & (tableSize - 1);
        if (table[slot] < 0) {
            table[slot] = v;
        } else {
            join(v, table[slot]);
        }
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------
// KxRlTraverseAllResult

KxRlTraverseAllResult::KxRlTraverseAllResult(int count, int *vertices, KxDClipRegion3D *boxes)
    : count(count), vertices(vertices), boxes(boxes) {}

KxRlTraverseAllResult::~KxRlTraverseAllResult() {
    delete[] vertices;
    delete[] boxes;
}

// ---------------------------------------------------------------------------------------
// KxRlMeshTraversal

KxRlMeshTraversal::KxRlMeshTraversal(const KxRlMesh *source) { init(source); }

KxRlMeshTraversal::KxRlMeshTraversal(const KxRlMeshGroup *group, int meshIndex) { init(group->getMesh(meshIndex)); }

KxRlMeshTraversal::KxRlMeshTraversal(const KxRlMeshFile *file, int group, int meshIndex) {
    init(file->getMesh(group, meshIndex));
}

KxRlMeshTraversal::~KxRlMeshTraversal() {}

void KxRlMeshTraversal::init(const KxRlMesh *source) {
    mesh = source;
    vertexCount = (source && source->getVertexList()) ? source->getVertexCount() : 0;
    if (vertexCount < 0) vertexCount = 0;
    pendingCount = 0;
    reset();
}

void KxRlMeshTraversal::prepareTraverse() {
    if (!states.empty() || vertexCount == 0) return;
    const int n = vertexCount;
    states.assign(static_cast<size_t>(n), 0);
    pending.resize(static_cast<size_t>(n));
    triangles.reset(new KxRlVertexTriangles(mesh->getIndexList(), mesh->getIndexCount(), n));
    // Vertices at one position form a ring, entered in increasing order, so each ring's
    // leader is its lowest vertex.
    nextEqual.resize(static_cast<size_t>(n));
    ringLeader.resize(static_cast<size_t>(n));
    ringDone.assign(static_cast<size_t>(n), 0);
    for (int v = 0; v < n; v++) nextEqual[v] = ringLeader[v] = v;
    forEachEqualPosition(mesh->getVertexList(), n, [this](int v, int leader) {
        ringLeader[v] = leader;
        nextEqual[v] = nextEqual[leader];
        nextEqual[leader] = v;
    });
}

void KxRlMeshTraversal::reset() {
    clipRegion.clear();
    if (!states.empty()) {
        std::memset(states.data(), 0, states.size());
        std::memset(ringDone.data(), 0, ringDone.size());
    }
    pendingCount = 0;
}

bool KxRlMeshTraversal::isInTraversal(int vertex) const {
    return vertex >= 0 && vertex < vertexCount && !states.empty() && states[vertex] == 2;
}

void KxRlMeshTraversal::traverse(int vertex) {
    if (vertex < 0 || vertex >= vertexCount) return;
    prepareTraverse();
    processVertex(vertex);
    for (int v = findNextVertex(); v >= 0; v = findNextVertex()) processVertex(v);
}

KxRlTraverseAllResult *KxRlMeshTraversal::traverseAll(std::vector<int> *objectOfVertex) {
    reset();
    const int n = vertexCount;
    // Linked vertices are merged into sets whose representative is always their lowest
    // vertex, so each object's representative is its starting vertex. Every vertex's parent
    // is at or below it.
    std::vector<int> parent(static_cast<size_t>(n));
    for (int v = 0; v < n; v++) parent[v] = v;
    auto find = [&parent](int v) {
        while (parent[v] != v) {
            parent[v] = parent[parent[v]];
            v = parent[v];
        }
        return v;
    };
    // Joins two representatives; returns the one that stays.
    auto join = [&parent](int a, int b) {
        if (a < b) parent[b] = a;
        if (b < a) parent[a] = b;
        return a < b ? a : b;
    };
    auto unite = [&](int a, int b) { join(find(a), find(b)); };
    const uint16_t *indices = n > 0 ? mesh->getIndexList() : nullptr;
    const int triangleCount = indices ? mesh->getIndexCount() / 3 : 0;
    for (int t = 0; t < triangleCount; t++) {
        // Corners beyond the vertices link nothing; the others still link each other.
        int root = -1;
        for (int k = 0; k < 3; k++) {
            int corner = indices[3 * t + k];
            if (corner >= n) continue;
            int other = find(corner);
            root = (root < 0 || root == other) ? other : join(root, other);
        }
    }
    if (n > 0) forEachEqualPosition(mesh->getVertexList(), n, unite);

    // In increasing order every parent is settled before its children: a representative
    // opens the next object, every other vertex joins its parent's object.
    std::vector<int> starts;
    for (int v = 0; v < n; v++) {
        if (parent[v] == v) {
            parent[v] = static_cast<int>(starts.size());
            starts.push_back(v);
        } else {
            parent[v] = parent[parent[v]];
        }
    }
    int count = static_cast<int>(starts.size());
    int *list = nullptr;
    KxDClipRegion3D *boxes = nullptr;
    if (count > 0) {
        list = new int[count];
        std::memcpy(list, starts.data(), sizeof(int) * static_cast<size_t>(count));
        try {
            boxes = new KxDClipRegion3D[count];
        } catch (...) {
            delete[] list;
            throw;
        }
        const _KxDTexVertex *vertices = mesh->getVertexList();
        for (int v = 0; v < n; v++) boxes[parent[v]].clipTo(&vertices[v].position);
    }
    if (objectOfVertex) objectOfVertex->swap(parent);
    return new KxRlTraverseAllResult(count, list, boxes);
}

void KxRlMeshTraversal::processVertex(int v) {
    indicateAttached(v);
    findEqualVertices(v);
    const uint16_t *indices = mesh->getIndexList();
    const int *list = triangles->getTriangles(v);
    for (int k = 0, count = triangles->getCount(v); k < count; k++) {
        const uint16_t *corners = &indices[3 * list[k]];
        for (int c = 0; c < 3; c++) {
            int w = corners[c];
            if (w < vertexCount && states[w] == 0) indicateToBeProcessed(w);
        }
    }
}

void KxRlMeshTraversal::findEqualVertices(int v) {
    // Once one vertex of a ring has marked it, every other one is reached already.
    int leader = ringLeader[v];
    if (ringDone[leader]) return;
    ringDone[leader] = 1;
    for (int w = nextEqual[v]; w != v; w = nextEqual[w]) {
        if (states[w] == 0) indicateToBeProcessed(w);
    }
}

void KxRlMeshTraversal::indicateToBeProcessed(int v) {
    states[v] = 1;
    // Sift up: each vertex enters the heap once, when it first leaves state 0.
    int i = pendingCount++;
    while (i > 0) {
        int parent = (i - 1) / 2;
        if (pending[parent] <= v) break;
        pending[i] = pending[parent];
        i = parent;
    }
    pending[i] = v;
}

int KxRlMeshTraversal::findNextVertex() {
    if (pendingCount == 0) return -1;
    int top = pending[0];
    int last = pending[--pendingCount];
    int i = 0;
    for (;;) {
        int child = 2 * i + 1;
        if (child >= pendingCount) break;
        if (child + 1 < pendingCount && pending[child + 1] < pending[child]) child++;
        if (pending[child] >= last) break;
        pending[i] = pending[child];
        i = child;
    }
    if (pendingCount > 0) pending[i] = last;
    return top;
}

void KxRlMeshTraversal::indicateAttached(int v) {
    states[v] = 2;
    clipRegion.clipTo(&mesh->getVertexList()[v].position);
}
