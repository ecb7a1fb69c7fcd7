#ifndef KX_MESHLISTER_MESHREPORT_H
#define KX_MESHLISTER_MESHREPORT_H

#include "StringBuffer.h"
#include "TextFileWriter.h"

#include <string>

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

    // Opens (truncates) the report file; false, with the system's reason, when it cannot be
    // written.
    bool open(const char *reportPath, std::string *reason) { return report.open(reportPath, reason); }
    void close() { report.close(); }

    // Exports go below `folder` instead of the current folder ("" for the current folder).
    void setExportFolder(const char *folder) { exportFolder = folder ? folder : ""; }

    // Finds `name` in data\meshes\ of the content registry (a name with a ".." part is not
    // looked for there), or else as a file on disk (findMeshFileOrPath), reports it and exports
    // as the mode says; the exports of a file read from disk are named after the file alone. Throws IOException when the file
    // cannot be found or read; the text names the sources searched for a file not found, and
    // foundAt() says where a file that could not be read was found. What was written to the
    // report by then stays there. A failed export is named with its reason on standard error
    // and the other exports and the listing go on; returns false when any export failed.
    bool reportMeshFile(const char *name, ExportMode mode);
    // Where the last file asked for was found ("" when it was not found).
    const std::string &foundAt() const { return whereFound; }

private:
    void exportFailed(const std::string &path, const IOException &e);
    // One mesh or object export failed; `path` is the file it was to be written to, if known.
    void meshExportFailed(const std::string &path, const IOException &e);
    void exportMeshes(KxRlMeshFile *file);
    // Lists the meshes made of several separate objects; exports each object when asked.
    void listBrokenMeshes(KxRlMeshFile *file, bool exportObjects);
    // Exports the object of mesh `mesh` that starts at `vertex`: what the mesh holds in the
    // object's box `box`, clipped through `index` (an index of that mesh).
    void exportObject(KxRlMeshFile *file, int group, int mesh, int vertex, const KxDClipRegion3D *box,
                      const KxRlMeshClipIndex *index);

    TextFileWriter report;
    StringBuffer buffer;
    std::string whereFound;
    std::string exportFolder;
    int failedExports = 0;
};

#endif
