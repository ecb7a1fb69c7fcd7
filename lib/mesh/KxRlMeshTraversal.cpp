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
    uint32_t h = mix(coordinateBits(p->x));
    h = mix(h ^ coordinateBits(p->y));
    return mix(h ^ coordinateBits(p->z));
}

bool hasNaN(const _KxDVector3D *p) { return p->x != p->x || p->y != p->y || p->z != p->z; }

}  // namespace

// ---------------------------------------------------------------------------------------
// KxRlTraverseAllResult

KxRlTraverseAllResult::KxRlTraverseAllResult(int count, int *vertices) : count(count), vertices(vertices) {}

KxRlTraverseAllResult::~KxRlTraverseAllResult() { delete[] vertices; }

// ---------------------------------------------------------------------------------------
// KxRlMeshTraversal

KxRlMeshTraversal::KxRlMeshTraversal(const KxRlMesh *source) { init(source); }

KxRlMeshTraversal::KxRlMeshTraversal(const KxRlMeshGroup *group, int meshIndex) { init(group->getMesh(meshIndex)); }

KxRlMeshTraversal::KxRlMeshTraversal(const KxRlMeshFile *file, int group, int meshIndex) {
    init(file->getMesh(group, meshIndex));
}

void KxRlMeshTraversal::init(const KxRlMesh *source) {
    mesh = source;
    vertexCount = (source && source->getVertexList()) ? source->getVertexCount() : 0;
    if (vertexCount < 0) vertexCount = 0;
    states = nullptr;
    pending = nullptr;
    pendingCount = 0;
    triangleStart = nullptr;
    triangleList = nullptr;
    nextEqual = nullptr;
    ringLeader = nullptr;
    ringDone = nullptr;
    try {
        states = new uint8_t[vertexCount > 0 ? vertexCount : 1];
        pending = new int[vertexCount > 0 ? vertexCount : 1];
        ringDone = new uint8_t[vertexCount > 0 ? vertexCount : 1];
        buildLinks();
    } catch (...) {
        release();
        throw;
    }
    reset();
}

KxRlMeshTraversal::~KxRlMeshTraversal() { release(); }

void KxRlMeshTraversal::release() {
    delete[] states;
    delete[] pending;
    delete[] triangleStart;
    delete[] triangleList;
    delete[] nextEqual;
    delete[] ringLeader;
    delete[] ringDone;
    states = nullptr;
    pending = nullptr;
    triangleStart = nullptr;
    triangleList = nullptr;
    nextEqual = nullptr;
    ringLeader = nullptr;
    ringDone = nullptr;
}

void KxRlMeshTraversal::buildLinks() {
    const int n = vertexCount;
    const uint16_t *indices = n > 0 ? mesh->getIndexList() : nullptr;
    const int triangleCount = (n > 0 && indices) ? mesh->getIndexCount() / 3 : 0;

    // Triangles per vertex, each triangle listed once per distinct corner in range.
    triangleStart = new int[n + 1];
    std::memset(triangleStart, 0, sizeof(int) * static_cast<size_t>(n + 1));
    for (int t = 0; t < triangleCount; t++) {
        int a = indices[3 * t], b = indices[3 * t + 1], c = indices[3 * t + 2];
        if (a < n) triangleStart[a + 1]++;
        if (b < n && b != a) triangleStart[b + 1]++;
        if (c < n && c != a && c != b) triangleStart[c + 1]++;
    }
    for (int v = 0; v < n; v++) triangleStart[v + 1] += triangleStart[v];
    triangleList = new int[triangleStart[n] > 0 ? triangleStart[n] : 1];
    std::vector<int> fill(triangleStart, triangleStart + n);
    for (int t = 0; t < triangleCount; t++) {
        int a = indices[3 * t], b = indices[3 * t + 1], c = indices[3 * t + 2];
        if (a < n) triangleList[fill[a]++] = t;
        if (b < n && b != a) triangleList[fill[b]++] = t;
        if (c < n && c != a && c != b) triangleList[fill[c]++] = t;
    }

    // Rings of exactly equal positions, found through a hash table of ring leaders. Vertices
    // are entered in increasing order, so each leader is its ring's lowest vertex.
    nextEqual = new int[n > 0 ? n : 1];
    ringLeader = new int[n > 0 ? n : 1];
    size_t tableSize = 16;
    while (tableSize < 2 * static_cast<size_t>(n)) tableSize *= 2;
    std::vector<int> table(tableSize, -1);
    const _KxDTexVertex *vertices = n > 0 ? mesh->getVertexList() : nullptr;
    for (int v = 0; v < n; v++) {
        nextEqual[v] = v;
        ringLeader[v] = v;
        const _KxDVector3D *p = &vertices[v].position;
        if (hasNaN(p)) continue;  // equal to no other position
        size_t slot = positionHash(p) & (tableSize - 1);
        while (table[slot] >= 0 && !kxdVecEqual(&vertices[table[slot]].position, p))
            slot = (slot + 1) & (tableSize - 1);
        int leader = table[slot];
        if (leader < 0) {
            table[slot] = v;
        } else {
            ringLeader[v] = leader;
            nextEqual[v] = nextEqual[leader];
            nextEqual[leader] = v;
        }
    }
}

void KxRlMeshTraversal::reset() {
    clipRegion.clear();
    if (vertexCount > 0) {
        std::memset(states, 0, static_cast<size_t>(vertexCount));
        std::memset(ringDone, 0, static_cast<size_t>(vertexCount));
    }
    pendingCount = 0;
}

bool KxRlMeshTraversal::isInTraversal(int vertex) const {
    return vertex >= 0 && vertex < vertexCount && states[vertex] == 2;
}

void KxRlMeshTraversal::traverse(int vertex) {
    if (vertex < 0 || vertex >= vertexCount) return;
    processVertex(vertex);
    for (int v = findNextVertex(); v >= 0; v = findNextVertex()) processVertex(v);
}

KxRlTraverseAllResult *KxRlMeshTraversal::traverseAll() {
    reset();
    std::vector<int> starts;
    // Every vertex below the last start is attached, so the search goes on from there.
    for (int v = findDetachedVertex(0); v >= 0; v = findDetachedVertex(v + 1)) {
        starts.push_back(v);
        traverse(v);
    }
    reset();
    int count = static_cast<int>(starts.size());
    int *list = nullptr;
    if (count > 0) {
        list = new int[count];
        std::memcpy(list, starts.data(), sizeof(int) * static_cast<size_t>(count));
    }
    return new KxRlTraverseAllResult(count, list);
}

void KxRlMeshTraversal::processVertex(int v) {
    indicateAttached(v);
    findEqualVertices(v);
    const uint16_t *indices = mesh->getIndexList();
    for (int k = triangleStart[v]; k < triangleStart[v + 1]; k++) {
        const uint16_t *corners = &indices[3 * triangleList[k]];
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

int KxRlMeshTraversal::findDetachedVertex(int from) const {
    for (int v = from < 0 ? 0 : from; v < vertexCount; v++)
        if (states[v] == 0) return v;
    return -1;
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
