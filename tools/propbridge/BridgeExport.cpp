#include "BridgeExport.h"

#include "BridgeHelp.h"
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
        for (const std::string &note : notes) std::printf("%s", note.c_str());
        toolError("Error exporting glTF file %s : %s\n", target.c_str(), e.getErrorString());
        toolDiagnostic(target.c_str(), "%s", e.describe().c_str());
        return;
    }
    for (const std::string &note : notes) std::printf("%s", note.c_str());
    std::printf("Exported glTF file %s!\n", target.c_str());
}

enum ExportWord { EXPORT_NAME, EXPORT_NEWDATA, EXPORT_WORKDATA, EXPORT_OUTPUT, EXPORT_BINARY };

ExportWord exportWordOf(const char *word) {
    switch (globalOptionOf(word)) {
    case GLOBAL_NEWDATA: return EXPORT_NEWDATA;
    case GLOBAL_WORKDATA: return EXPORT_WORKDATA;
    case GLOBAL_NONE: break;
    }
    if (std::strcmp(word, "-o") == 0) return EXPORT_OUTPUT;
    if (std::strcmp(word, "-glb") == 0) return EXPORT_BINARY;
    return EXPORT_NAME;
}

}  // namespace

void runBridgeExport(int first, int argc, char **argv) {
    bool binary = false;
    const char *outputOption = nullptr;  // -o
    const char *workData = nullptr;      // -workdata, made only once the command line is whole
    std::vector<const char *> names;
    const char *pendingWord = nullptr;
    ExportWord pending = EXPORT_NAME;
    for (int i = first; i < argc; i++) {
        const char *word = argv[i];
        ExportWord kind = exportWordOf(word);
        if (kind != EXPORT_NAME) {
            if (pendingWord) toolOptionCutShort(pendingWord, 0, word);
            pendingWord = kind == EXPORT_BINARY ? nullptr : word;
            pending = kind;
            if (kind == EXPORT_BINARY) binary = true;
            continue;
        }
        if (!pendingWord) {
            if (word[0] == '-' && word[1] != 0)
                toolDiagnostic(word, "warning: not an option of propbridge export; taken as a mesh file name");
            names.push_back(word);
            continue;
        }
        if (pending == EXPORT_NEWDATA) applyGlobalOption(GLOBAL_NEWDATA, word);
        else if (pending == EXPORT_WORKDATA) workData = word;
        else outputOption = word;
        pendingWord = nullptr;
    }
    if (pendingWord) {
        toolMissingValue(pendingWord);
        return;
    }
    if (outputOption && workData) {
        refuseBridgeCommandLine("-o", "-o and -workdata both name the output folder: give only one of them.");
        return;
    }
    if (names.empty()) {
        refuseBridgeCommandLine("export", "No mesh file given: export needs at least one MshFile.");
        return;
    }
    if (outputOption || workData) lockOutputDir(outputOption ? outputOption : workData);
    std::string outputFolder = isOutputLocked() ? getOutputFolder() : "";
    while (outputFolder.size() > 1 && (outputFolder.back() == '/' || outputFolder.back() == '\\'))
        outputFolder.pop_back();

    for (const char *name : names)
        forEachMeshFile(name, [&outputFolder, binary](const char *file) { exportOne(file, outputFolder, binary); });
}
