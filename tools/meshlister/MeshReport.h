#ifndef KX_MESHLISTER_MESHREPORT_H
#define KX_MESHLISTER_MESHREPORT_H

#include "StringBuffer.h"
#include "TextFileWriter.h"

class KxDClipRegion3D;
class KxRlMeshClipIndex;
class KxRlMeshFile;

// What meshlister does with each mesh file it reads.
enum ExportMode { EXPORT_NONE = 0, EXPORT_MESHES = 1, EXPORT_OBJECTS = 2 };

// Reports mesh files into one report file and exports their meshes and objects.
class MeshReport {
public:
    MeshReport() : buffer(16384) {}
    MeshReport(const MeshReport &) = delete;
    MeshReport &operator=(const MeshReport &) = delete;

    // Opens (truncates) the report file; false when it cannot be written.
    bool open(const char *reportPath) { return report.open(reportPath); }
    void close() { report.close(); }

    // Finds `name` in data\meshes\ of the content registry, reports it and exports as the
    // mode says. Throws IOException when the file cannot be found, read or exported; what
    // was written to the report by then stays there.
    void reportMeshFile(const char *name, ExportMode mode);

private:
    void exportMeshes(KxRlMeshFile *file);
    // Lists the meshes made of several separate objects; exports each object when asked.
    void listBrokenMeshes(KxRlMeshFile *file, bool exportObjects);
    // Exports the object of mesh `mesh` that starts at `vertex`: what the mesh holds in the
    // object's box `box`, clipped through `index` (an index of that mesh).
    void exportObject(KxRlMeshFile *file, int group, int mesh, int vertex, const KxDClipRegion3D *box,
                      const KxRlMeshClipIndex *index);

    TextFileWriter report;
    StringBuffer buffer;
};

#endif
