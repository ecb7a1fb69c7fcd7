// The MSH target: what meshlister and the prop tools do with a mesh file they are given.

#include "FuzzEntries.h"
#include "FuzzScratch.h"

#include "IOException.h"
#include "KxRlMesh.h"
#include "KxRlMeshClipIndex.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlMeshTraversal.h"
#include "KxRlRebuiltProp.h"
#include "StringBuffer.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::string where(int group, int mesh) {
    return "group " + std::to_string(group) + " mesh " + std::to_string(mesh);
}

// traverseAll lists each object once by its lowest vertex, in increasing order.
void checkObjects(const KxRlMesh *mesh, const KxRlTraverseAllResult *objects, int group, int m) {
    if (objects->getCount() > mesh->getVertexCount() || (mesh->getVertexCount() > 0 && objects->getCount() == 0))
        fuzzFailure(where(group, m) + ": " + std::to_string(objects->getCount()) + " objects for " +
                    std::to_string(mesh->getVertexCount()) + " vertices");
    for (int i = 0; i < objects->getCount(); i++) {
        int v = objects->getVertex(i);
        if (v < 0 || v >= mesh->getVertexCount() || (i > 0 && v <= objects->getVertex(i - 1)))
            fuzzFailure(where(group, m) + ": object " + std::to_string(i) + " starts at vertex " + std::to_string(v));
    }
}

// The writer's file must read back with the groups and meshes it was given.
void checkReadsBack(const KxRlMeshFile *source, const std::string &path) {
    std::unique_ptr<KxRlMeshFile> back;
    try {
        back.reset(KxRlMeshFile::CreateFromFile(path.c_str()));
    } catch (const IOException &e) {
        fuzzFailure("the rewritten file does not read back: " + e.describe());
    }
    if (back->getMeshGroupCount() != source->getMeshGroupCount())
        fuzzFailure("the rewritten file has " + std::to_string(back->getMeshGroupCount()) + " groups instead of " +
                    std::to_string(source->getMeshGroupCount()));
    for (int g = 0; g < source->getMeshGroupCount(); g++) {
        if (back->getMeshCount(g) != source->getMeshCount(g))
            fuzzFailure("the rewritten group " + std::to_string(g) + " has another mesh count");
        for (int m = 0; m < source->getMeshCount(g); m++) {
            const KxRlMesh *a = source->getMesh(g, m), *b = back->getMesh(g, m);
            if (a->getVertexCount() != b->getVertexCount() || a->getIndexCount() != b->getIndexCount())
                fuzzFailure("the rewritten " + where(g, m) + " has other vertex or index counts");
        }
    }
}

// One object of a mesh written as meshlister -xo writes it: clipped to the object's box,
// through the clip index and through the plain scan, with the same identifiers drawn.
void checkObjectExport(KxRlMeshFile *file, int group, int mesh, const KxDClipRegion3D *box) {
    KxRlMeshClipIndex index(file->getMesh(group, mesh));
    std::string written[2];
    for (int pass = 0; pass < 2; pass++) {
        KxRlRebuiltProp prop;
        KxRlMeshGroupRef *ref = new KxRlMeshGroupRef(file, group);
        prop.addMeshGroupRef(ref);
        ref->activateAllMeshes(false);
        ref->activateMesh(mesh, true);
        ref->addClipRegion(mesh, box);
        if (pass == 0) prop.setClipIndex(&index);
        std::string path = scratchPath(pass == 0 ? "indexed.msh" : "scanned.msh");
        std::srand(1);
        try {
            prop.exportMesh(path.c_str());
        } catch (const IOException &) {
            return;  // too many textures, say: refused the same way both times
        }
        written[pass] = readWholeFile(path);
    }
    if (written[0] != written[1])
        fuzzFailure("the clip index and the scan write different files for an object of " + where(group, mesh));
}

}  // namespace

int fuzzMeshFile(const uint8_t *data, size_t size) {
    std::string input = writeScratchFile("input.msh", data, size);
    std::unique_ptr<KxRlMeshFile> file;
    try {
        file.reset(KxRlMeshFile::CreateFromFile(input.c_str()));
    } catch (const IOException &) {
        return 0;
    }
    StringBuffer report;
    file->toString(&report);

    bool objectExported = false;
    for (int g = 0; g < file->getMeshGroupCount(); g++) {
        for (int m = 0; m < file->getMeshCount(g); m++) {
            KxRlMeshTraversal traversal(file.get(), g, m);
            std::unique_ptr<KxRlTraverseAllResult> objects(traversal.traverseAll());
            checkObjects(file->getMesh(g, m), objects.get(), g, m);
            if (!objectExported && objects->getCount() > 1 && objects->getClipRegion(0)) {
                checkObjectExport(file.get(), g, m, objects->getClipRegion(0));
                objectExported = true;
            }
        }
    }

    KxRlRebuiltProp prop;
    for (int g = 0; g < file->getMeshGroupCount(); g++) prop.addMeshGroupRef(new KxRlMeshGroupRef(file.get(), g));
    prop.setSkeleton(file->getSkeleton(), nullptr);
    std::string output = scratchPath("rewritten.msh");
    try {
        prop.exportMesh(output.c_str());
    } catch (const IOException &) {
        return 0;  // more textures than a file can name
    }
    checkReadsBack(file.get(), output);
    return 0;
}
