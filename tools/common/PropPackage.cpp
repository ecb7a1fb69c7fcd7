#include "PropPackage.h"

#include "IOException.h"
#include "KxRlRebuiltProp.h"
#include "KxRlUtil.h"
#include "Platform.h"
#include "PropName.h"
#include "TextFileWriter.h"
#include "ToolFrame.h"
#include "ToolOutput.h"

#include <cstring>
#include <string>

namespace {

// One file of the package: its folder below the output folder and its extension.
struct PackageFile {
    const char *folder;
    const char *extension;
};

const PackageFile kMeshFile = {"data\\meshes", ".msh"};
const PackageFile kBlueprintFile = {"data\\propblueprint", ".ini"};
const PackageFile kPropFile = {"data\\props", ".ini"};
const PackageFile kSetDressingFile = {"data\\setdressing", ".ini"};

// The last guard on a prop name, whichever tool gave it: it becomes part of four paths and the
// mesh line of the INI files, so it must be one the game can load.
void checkPropName(const char *name) {
    PropNameFault fault = propNameFault(name);
    if (fault == PropNameFault::NONE) return;
    std::string why = describePropNameFault(fault, name);
    toolDiagnostic(name, "the prop name %s, so nothing was written", why.c_str());
    throw IOException("Prop name " + std::string(name) + " " + why);
}

// output\folder\ in `folderPath` and output\folder\name.ext in `filePath`, or an IOException
// naming the path when either would not fit a path buffer.
void composePath(char *folderPath, char *filePath, const char *output, const PackageFile &file, const char *name) {
    bool fits = kxrlMakeDirName(folderPath, output, file.folder, true);
    if (fits) {
        kxrlStrCopy(filePath, folderPath, KXRL_PATH_SIZE);
        fits = kxrlAttachDirName(filePath, name, false) && kxrlAttachDirName(filePath, file.extension, false);
    }
    if (!fits) {
        std::string path =
            platform::nativePath((std::string(output) + "\\" + file.folder + "\\" + name + file.extension).c_str());
        toolDiagnostic(path.c_str(), "the path has %u characters; at most %u fit",
                       static_cast<unsigned>(path.size()), static_cast<unsigned>(KXRL_PATH_SIZE - 1));
        throw IOException("Package path is too long: " + path);
    }
}

// A folder given with its trailing backslash, without it.
std::string withoutTrailingSeparators(const char *folderPath) {
    std::string folder = folderPath;
    while (!folder.empty() && kxrlIsSeparator(folder.back())) folder.pop_back();
    return folder;
}

// Creates a folder given with its trailing backslash; an existing one is simply used. True
// when this call made it.
bool makeFolder(const char *folderPath) {
    std::string folder = withoutTrailingSeparators(folderPath);
    return !folder.empty() && platform::makeDirectory(folder.c_str());
}

// Removes a folder that makeFolder made, when it is still empty.
void removeMadeFolder(const char *folderPath, bool made) {
    if (made) platform::removeEmptyDirectory(withoutTrailingSeparators(folderPath).c_str());
}

// Writes one INI file with `body`, whole or not at all; a file that cannot be created throws
// `failure`, a write error the stream's own text, each after a stderr line naming the file.
template <typename Body>
void writeIni(const char *path, const char *failure, Body body) {
    const std::string shown = platform::nativePath(path);
    TextFileWriter ini;
    std::string reason;
    if (!ini.open(path, &reason)) {
        toolDiagnostic(shown.c_str(), "cannot be created: %s", reason.c_str());
        throw IOException(failure);
    }
    try {
        body(ini);
        ini.close();
    } catch (const IOException &e) {
        toolDiagnostic(shown.c_str(), "%s", e.describe().c_str());
        throw;
    }
}

// Makes every missing level of the folder of `file` (the output folder too). A folder that cannot
// be made fails the file with `failure` and the system's reason (for want of permission:
// "Permission denied"), after a stderr line naming the file and that folder.
void makeFolderOf(const char *file, const char *folder, const char *failure) {
    std::string level;
    int error = kxrlMakeFolders(folder, &level);
    if (error == 0) return;
    toolDiagnostic(platform::nativePath(file).c_str(), "%s: %s (the folder %s could not be made)", failure,
                   std::strerror(error), platform::nativePath(level.c_str()).c_str());
    throw IOException(error, failure);
}

}  // namespace

void exportProp(KxRlRebuiltProp *prop, int category) { exportProp(prop, getPropName(), category); }

void exportProp(KxRlRebuiltProp *prop, const char *propName, int category) {
    const char *name = propName ? propName : "";
    checkPropName(name);
    const char *output = getOutputFolder();
    char dataFolder[KXRL_PATH_SIZE], folders[4][KXRL_PATH_SIZE], files[4][KXRL_PATH_SIZE];
    const PackageFile *parts[4] = {&kMeshFile, &kBlueprintFile, &kPropFile, &kSetDressingFile};
    for (int i = 0; i < 4; i++) composePath(folders[i], files[i], output, *parts[i], name);
    kxrlMakeDirName(dataFolder, output, "data", true);  // shorter than the paths above

    bool madeData = makeFolder(dataFolder);
    bool madeMeshes = makeFolder(folders[0]);
    try {
        prop->exportMesh(files[0]);
    } catch (const IOException &e) {
        toolDiagnostic(platform::nativePath(files[0]).c_str(), "%s", describeWriteFailure(e, folders[0]).c_str());
        // Nothing of the package is written: the folders made for it go again.
        removeMadeFolder(folders[0], madeMeshes);
        removeMadeFolder(dataFolder, madeData);
        throw;
    }
    makeFolderOf(files[1], folders[1], "Could not create propblueprint INI file");
    exportBluePrintINI(files[1], category);
    makeFolderOf(files[2], folders[2], "Could not create prop INI file");
    exportPropINI(files[2], name);
    makeFolderOf(files[3], folders[3], "Could not create prop INI file");
    exportPropINI(files[3], name);
}

void exportBluePrintINI(const char *path, int category) {
    writeIni(path, "Could not create propblueprint INI file", [category](TextFileWriter &ini) {
        ini.write("\n[blueprint]\n");
        ini.writeFormat("\tcategory = %d\n", category);
        ini.write("\tmenutype = 0\n"
                  "\tmaxinstances = -1.00\n"
                  "\ttrickiness = 0\n"
                  "\tgiven = 1.00\n"
                  "\tresearchable = 0\n"
                  "\tETA = 1900.00\n"
                  "\tpath = group_stuff\n"
                  "\n[finance]\n"
                  "\tpurchasecost = 1.00\n");
    });
}

void exportPropINI(const char *path, const char *propName) {
    const char *name = propName ? propName : "";
    writeIni(path, "Could not create prop INI file", [name](TextFileWriter &ini) {
        ini.writeFormat("\tmesh = %s.msh\n", name);
        ini.write("\n[finance]\n"
                  "\tpurchasecost = 1.00\n"
                  "\tannualcost = 0\n"
                  "\tdailyrate = 0\n");
    });
}
