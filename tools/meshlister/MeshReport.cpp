#include "MeshReport.h"

#include "IOException.h"
#include "KxRlContentRegistry.h"
#include "KxRlMeshClipIndex.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlMeshTraversal.h"
#include "KxRlRebuiltProp.h"
#include "MeshNames.h"
#include "Platform.h"
#include "ToolFrame.h"
#include "ToolOutput.h"

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>

namespace {

// An export file name made from a printf format, or an IOException naming it when it would
// not fit a path buffer.
std::string exportPath(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

std::string exportPath(const char *format, ...) {
    char name[KXRL_PATH_SIZE];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(name, sizeof name, format, args);
    va_end(args);
    if (n < 0 || n >= static_cast<int>(sizeof name))
        throw IOException("Export file name is too long: " + platform::nativePath(getOutputFolder()));
    return name;
}

// A prop holding group `group` of `file` with only mesh `mesh` active. The prop owns the
// reference; the caller adds what else the reference needs.
std::unique_ptr<KxRlRebuiltProp> propForMesh(KxRlMeshFile *file, int group, int mesh, KxRlMeshGroupRef **ref) {
    std::unique_ptr<KxRlRebuiltProp> prop(new KxRlRebuiltProp());
    *ref = new KxRlMeshGroupRef(file, group);
    (*ref)->activateAllMeshes(false);
    (*ref)->activateMesh(mesh, true);
    prop->addMeshGroupRef(*ref);
    return prop;
}

}  // namespace

bool MeshReport::reportMeshFile(const char *name, ExportMode mode) {
    whereFound.clear();
    failedExports = 0;
    FoundMeshFile found;
    if (!findMeshFileOrPath(getContentRegistry(), name, found)) throw IOException(found.where);
    whereFound = found.where;
    std::unique_ptr<KxRlMeshFile> file(KxRlMeshFile::CreateFromFile(found.path.c_str()));

    report.write("======================================================================\n");
    report.writeFormat("\nFILE %s:\n\n", name);
    buffer.clear();
    file->toString(&buffer);
    report.write(buffer);

    if (mode != EXPORT_NONE) {
        try {
            resMeshFileDir(exportNameOf(name, found), exportFolder.c_str());
            exportMeshes(file.get());
        } catch (const IOException &e) {
            exportFailed(name, e);  // no export folder: the listing still goes on
            mode = EXPORT_NONE;
        }
    }
    listBrokenMeshes(file.get(), mode == EXPORT_OBJECTS);
    return failedExports == 0;
}

void MeshReport::exportFailed(const std::string &path, const IOException &e) {
    toolDiagnostic(path.c_str(), "export failed: %s", e.describe().c_str());
    failedExports++;
}

void MeshReport::meshExportFailed(const std::string &path, const IOException &e) {
    const char *folder = getOutputFolder();
    toolDiagnostic(platform::nativePath(path.empty() ? folder : path.c_str()).c_str(), "export failed: %s",
                   describeWriteFailure(e, folder).c_str());
    failedExports++;
}

void MeshReport::exportMeshes(KxRlMeshFile *file) {
    for (int group = 0; group < file->getMeshGroupCount(); group++) {
        for (int mesh = 0; mesh < file->getMeshCount(group); mesh++) {
            std::string path;
            try {
                path = exportPath("%s/group%02dmesh%02d.msh", getOutputFolder(), group, mesh);
                std::printf("Exporting prop for full mesh (group %d, mesh %d)...\n", group, mesh);
                KxRlMeshGroupRef *ref;
                std::unique_ptr<KxRlRebuiltProp> prop = propForMesh(file, group, mesh, &ref);
                prop->exportMesh(path.c_str());
            } catch (const IOException &e) {
                meshExportFailed(path, e);
            }
        }
    }
}

void MeshReport::listBrokenMeshes(KxRlMeshFile *file, bool exportObjects) {
    for (int group = 0; group < file->getMeshGroupCount(); group++) {
        for (int mesh = 0; mesh < file->getMeshCount(group); mesh++) {
            KxRlMeshTraversal traversal(file, group, mesh);
            std::unique_ptr<KxRlTraverseAllResult> objects(traversal.traverseAll());
            if (objects->getCount() <= 1) continue;
            buffer.clear();
            buffer.appendFormat("Group #%d, Mesh #%d: Has multiple 3D objects!\n  Traverse the following vertices: ",
                                group, mesh);
            for (int i = 0; i < objects->getCount(); i++) buffer.appendFormat("%d ", objects->getVertex(i));
            buffer.append("\n\n");
            report.write(buffer);
            if (!exportObjects) continue;
            // One index serves every object of the mesh.
            KxRlMeshClipIndex index(file->getMesh(group, mesh));
            for (int i = 0; i < objects->getCount(); i++)
                exportObject(file, group, mesh, objects->getVertex(i), objects->getClipRegion(i), &index);
        }
    }
}

void MeshReport::exportObject(KxRlMeshFile *file, int group, int mesh, int vertex, const KxDClipRegion3D *box,
                              const KxRlMeshClipIndex *index) {
    std::string path;
    try {
        path = exportPath("%s/group%02dmesh%02dvertex%04d.msh", getOutputFolder(), group, mesh, vertex);
        std::printf("Exporting prop for isolated object (group %d, mesh %d, vertex %d)...\n", group, mesh, vertex);
        KxRlMeshGroupRef *ref;
        std::unique_ptr<KxRlRebuiltProp> prop = propForMesh(file, group, mesh, &ref);
        // The object's bounding box selects it: whatever else of the mesh lies fully inside the
        // box goes with it.
        ref->addClipRegion(box);
        prop->setClipIndex(index);
        prop->exportMesh(path.c_str());
    } catch (const IOException &e) {
        meshExportFailed(path, e);
    }
}
