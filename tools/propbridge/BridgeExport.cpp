#include "BridgeExport.h"

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
    char path[KXRL_PATH_SIZE];
    std::string where;
    std::unique_ptr<KxRlMeshFile> file;
    try {
        where = findMeshFile(getContentRegistry(), name, path);
        file.reset(KxRlMeshFile::CreateFromFile(path));
    } catch (const IOException &e) {
        toolError("Could not load mesh file %s\n", name);
        if (where.empty())
            toolDiagnostic(name, "%s", e.describe().c_str());
        else
            toolDiagnostic(name, "%s (%s)", e.describe().c_str(), where.c_str());
        return;
    }
    std::string base = exportBase(name, outputFolder);
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
    const char *outputOption = nullptr;
    std::vector<const char *> names;
    const char *pendingWord = nullptr;
    GlobalOption global = GLOBAL_NONE;
    bool pendingOutput = false;
    for (int i = first; i < argc; i++) {
        const char *word = argv[i];
        if (globalOptionOf(word) != GLOBAL_NONE) {
            pendingWord = word;
            global = globalOptionOf(word);
            pendingOutput = false;
        } else if (std::strcmp(word, "-o") == 0) {
            pendingWord = word;
            pendingOutput = true;
        } else if (std::strcmp(word, "-glb") == 0) {
            binary = true;
        } else if (pendingWord && pendingOutput) {
            outputOption = word;
            pendingWord = nullptr;
        } else if (pendingWord) {
            if (applyGlobalOption(global, word)) pendingWord = nullptr;
        } else {
            if (word[0] == '-' && word[1] != 0)
                toolDiagnostic(word, "warning: not an option of propbridge export; taken as a mesh file name");
            names.push_back(word);
        }
    }
    if (pendingWord) {
        toolMissingValue(pendingWord);
        return;
    }
    if (names.empty()) {
        printHelpForIncompleteCommandLine();
        return;
    }
    if (outputOption) lockOutputDir(outputOption);
    std::string outputFolder = isOutputLocked() ? getOutputFolder() : "";
    while (outputFolder.size() > 1 && (outputFolder.back() == '/' || outputFolder.back() == '\\'))
        outputFolder.pop_back();

    for (const char *name : names)
        forEachMeshFile(name, [&outputFolder, binary](const char *file) { exportOne(file, outputFolder, binary); });
}
