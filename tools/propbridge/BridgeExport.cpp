#include "BridgeExport.h"

#include "BridgeHelp.h"
#include "FolderOptions.h"
#include "GltfExport.h"
#include "IOException.h"
#include "KxRlMeshFile.h"
#include "MeshNames.h"
#include "Platform.h"
#include "ToolFrame.h"
#include "ToolOutput.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const char *const kGenerator = "propbridge " KX_SUITE_VERSION " (Reelmara prop tools)";

// The output path of `name` without its extension: below the output folder, with the name's
// folder parts (each level created) unless the name is absolute.
std::string exportBase(const char *name, const std::string &outputFolder) {
    std::string relative = isAbsolutePath(name) ? fileNameOf(name) : name;
    if (isAbsolutePath(relative.c_str())) relative = relative.substr(2);  // "C:p_desk.msh"
    for (char &c : relative)
        if (c == '\\') c = '/';
    std::string base = outputFolder.empty() ? relative : outputFolder + "/" + relative;
    for (size_t slash = base.find('/', outputFolder.size() + 1); slash != std::string::npos;
         slash = base.find('/', slash + 1))
        platform::makeDirectory(base.substr(0, slash).c_str());
    size_t dot = base.find_last_of('.');
    size_t file = base.find_last_of('/');
    if (dot != std::string::npos && (file == std::string::npos || dot > file)) base.resize(dot);
    return base;
}

void exportOne(const char *name, const std::string &outputFolder, bool binary) {
    FoundMeshFile found;
    std::string where;
    std::unique_ptr<KxRlMeshFile> file;
    try {
        if (!findMeshFileOrPath(getContentRegistry(), name, found)) throw IOException(found.where);
        where = found.where;
        file.reset(KxRlMeshFile::CreateFromFile(found.path.c_str()));
    } catch (const IOException &e) {
        toolError("Could not load mesh file %s\n", name);
        if (where.empty())
            toolDiagnostic(name, "%s", e.describe().c_str());
        else
            toolDiagnostic(name, "%s (%s)", e.describe().c_str(), where.c_str());
        return;
    }
    // A file read from disk is named after itself alone, as an absolute name is.
    std::string base = exportBase(exportNameOf(name, found), outputFolder);
    std::string target = base + (binary ? ".glb" : ".gltf");
    std::vector<std::string> notes;
    try {
        exportGltf(file.get(), base.c_str(), binary, kGenerator, &notes);
    } catch (const IOException &e) {
        for (const std::string &note : notes) toolMessage("%s", note.c_str());
        toolError("Error exporting glTF file %s : %s\n", target.c_str(), e.getErrorString());
        toolDiagnostic(target.c_str(), "%s", e.describe().c_str());
        return;
    }
    for (const std::string &note : notes) toolMessage("%s", note.c_str());
    toolMessage("Exported glTF file %s!\n", target.c_str());
}

}  // namespace

void runBridgeExport(int first, int argc, char **argv) {
    bool binary = false;
    std::vector<const char *> names;
    FolderOptions options;  // -workdata is made only once the command line is whole
    for (int i = first; i < argc; i++) {
        const char *word = argv[i];
        if (std::strcmp(word, "-glb") == 0) {
            options.interrupt(word);
            binary = true;
        } else if (!options.take(word)) {
            if (word[0] == '-' && word[1] != 0)
                toolDiagnostic(word, "warning: not an option of propbridge export; taken as a mesh file name");
            names.push_back(word);
        }
    }
    if (options.pending()) {
        toolMissingValue(options.pending());
        return;
    }
    if (options.outputFolder() && options.workFolder()) {
        refuseBridgeCommandLine("-o", "-o and -workdata both name the output folder: give only one of them.");
        return;
    }
    if (names.empty()) {
        refuseBridgeCommandLine("export", "No mesh file given: export needs at least one MshFile.");
        return;
    }
    if (const char *folder = options.outputFolder() ? options.outputFolder() : options.workFolder())
        lockOutputDir(folder);
    std::string outputFolder = isOutputLocked() ? getOutputFolder() : "";
    while (outputFolder.size() > 1 && (outputFolder.back() == '/' || outputFolder.back() == '\\'))
        outputFolder.pop_back();

    for (const char *name : names)
        forEachMeshFile(name, [&outputFolder, binary](const char *file) { exportOne(file, outputFolder, binary); });
}
