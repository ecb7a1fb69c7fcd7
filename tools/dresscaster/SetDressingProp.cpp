#include "SetDressingProp.h"

#include "IOException.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroupRef.h"
#include "KxRlRebuiltProp.h"
#include "KxRlSetDressingINI.h"
#include "KxRlUtil.h"
#include "Platform.h"
#include "PropMeshSearch.h"
#include "PropName.h"
#include "PropPackage.h"
#include "ToolFrame.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>

namespace {

const char *const kSetDressingFolder = "Reelmara\\Set Dressing";

// The meshes of one set-dressing file, each read once however many props name it: looked up
// once per prop name (in any case, as the game's file names go) and read once per file.
class PropMeshes {
public:
    PropMeshes() = default;
    PropMeshes(const PropMeshes &) = delete;
    PropMeshes &operator=(const PropMeshes &) = delete;

    // The prop's mesh (owned here), or an IOException with the search's text; `detail`
    // receives the reason for the stderr line. A failure is remembered like a success.
    KxRlMeshFile *get(const char *propName, std::string *detail) {
        std::string key = propName;
        kxrlStrLower(&key[0]);
        auto known = byName.find(key);
        if (known == byName.end()) known = byName.emplace(key, search(propName)).first;
        const Lookup &lookup = known->second;
        if (!lookup.mesh) {
            *detail = lookup.detail;
            throw IOException(lookup.error);
        }
        return lookup.mesh;
    }

private:
    struct Lookup {
        KxRlMeshFile *mesh = nullptr;
        std::string error, detail;
    };

    Lookup search(const char *propName) {
        Lookup lookup;
        char path[KXRL_PATH_SIZE];
        try {
            findPropMesh(propName, path, &lookup.detail);
            auto read = byPath.find(path);
            if (read == byPath.end()) {
                try {
                    read = byPath.emplace(path, std::unique_ptr<KxRlMeshFile>(KxRlMeshFile::CreateFromFile(path))).first;
                } catch (const IOException &e) {
                    lookup.detail = platform::nativePath(path) + ": " + e.getErrorString();
                    throw;
                }
            }
            lookup.mesh = read->second.get();
        } catch (const IOException &e) {
            lookup.error = e.getErrorString();
        }
        return lookup;
    }

    std::map<std::string, Lookup> byName;
    std::map<std::string, std::unique_ptr<KxRlMeshFile>> byPath;
};

// Reads the set-dressing file at `path`, or returns null and notes why when it is there but
// cannot be read.
KxRlSetDressingINI *tryRead(const std::string &path, std::string *unreadable) {
    try {
        return new KxRlSetDressingINI(path.c_str());
    } catch (const IOException &e) {
        if (kxrlFileExists(path.c_str()) && !platform::isDirectory(path.c_str()))
            *unreadable += "; " + platform::nativePath(path.c_str()) + " cannot be read: " + e.getErrorString();
        return nullptr;
    }
}

// Places every mesh group of `mesh` as prop `i` of the arrangement stands, centred on
// (cx, cy).
void placeProp(KxRlRebuiltProp *prop, KxRlMeshFile *mesh, const KxRlSetDressingINI &arrangement, int i, float cx,
               float cy, const char *lightMap) {
    for (int g = 0; g < mesh->getMeshGroupCount(); g++) {
        KxRlMeshGroupRef *ref = new KxRlMeshGroupRef(mesh, g);
        if (lightMap) {
            for (int m = 0; m < ref->getMeshCount(); m++)
                if (!mesh->getMesh(g, m)->getLightMapList()) ref->setBitmap(m, 2, lightMap);
        }
        // The game stores the turn in radians.
        ref->addRotation(KXD_AXIS_Z, arrangement.getPropAngle(i));
        ref->addTranslation(arrangement.getPropX(i) - cx, arrangement.getPropY(i) - cy, arrangement.getPropZ(i));
        prop->addMeshGroupRef(ref);
    }
}

}  // namespace

KxRlSetDressingINI *loadSetDressing(const char *file) {
    std::string unreadable;
    if (KxRlSetDressingINI *found = tryRead(file, &unreadable)) return found;

    const char *documents = getDocumentsFolder();
    char folder[KXRL_PATH_SIZE];
    std::string where;
    if (*documents && kxrlMakeDirName(folder, documents, kSetDressingFolder, true)) {
        char path[KXRL_PATH_SIZE];
        kxrlStrCopy(path, folder, sizeof path);
        if (kxrlAttachDirName(path, file, false) && kxrlFileExists(path)) {
            if (KxRlSetDressingINI *found = tryRead(path, &unreadable)) return found;
        }
        for (const platform::DirEntry &entry : platform::listDirectory((std::string(folder) + "*").c_str())) {
            // Any folder, whatever other attributes it carries (read-only, not indexed, ...); not
            // "." (searched above) nor ".." (the parent of Set Dressing, whose files are not meant).
            if (!(entry.attributes & platform::ATTR_DIRECTORY) || entry.name == "." || entry.name == "..") continue;
            std::string candidate = std::string(folder) + entry.name + "\\" + file;
            if (candidate.size() >= KXRL_PATH_SIZE) continue;
            if (KxRlSetDressingINI *found = tryRead(candidate, &unreadable)) return found;
        }
        where = ", nor in " + platform::nativePath(folder) + " or its sub-folders";
    } else {
        where = *documents ? ", and the documents folder's path is too long: " + platform::nativePath(documents)
                           : std::string("; no documents folder is known");
    }
    char current[KXRL_PATH_SIZE];
    if (!platform::getCurrentDirectory(current, sizeof current)) kxrlStrCopy(current, "?", sizeof current);
    toolDiagnostic(file, "not found in the current folder (%s)%s%s", current, where.c_str(), unreadable.c_str());
    throw IOException("Could not find set dressing file\n");
}

bool createProp(const PropData &data) {
    const char *name = data.propName.c_str();
    // The default name comes from the file name (a -propname is checked when it is read); the
    // other faults of a name are refused when the package is written.
    if (data.propName.size() > kMaxPropNameLength) {
        toolError("Default prop name %s is too long!  Do not exceed %u characters.\n", name,
                  static_cast<unsigned>(kMaxPropNameLength));
        toolDiagnostic(data.file, "the prop name %s taken from the file name is too long; choose one with -propname",
                       name);
        return false;
    }

    std::unique_ptr<KxRlSetDressingINI> arrangement;
    try {
        arrangement.reset(loadSetDressing(data.file));
    } catch (const IOException &e) {
        toolError("Error loading set dressing file %s : %s\n", data.file, e.getErrorString());
        return false;
    }
    const int count = arrangement->getPropCount();
    if (count == 0) {
        toolError("%s (%s)\n", "The set dressing file holds no prop", name);
        toolDiagnostic(data.file, "the file has no prop section, so no package was written for it");
        return false;
    }

    // The arrangement's centre in X and Y; heights stay as placed. Props whose mesh is missing
    // still count, so the others keep their places whatever is found.
    double sumX = 0, sumY = 0;
    for (int i = 0; i < count; i++) {
        sumX += arrangement->getPropX(i);
        sumY += arrangement->getPropY(i);
    }
    const float cx = static_cast<float>(sumX / count), cy = static_cast<float>(sumY / count);

    PropMeshes meshes;  // declared before the prop, whose group references point into them
    KxRlRebuiltProp prop;
    for (int i = 0; i < count; i++) {
        const char *propName = arrangement->getPropName(i);
        if (!propName || !*propName) {
            toolError("%s (%s)\n", "Prop has no name", data.file);
            toolDiagnostic(data.file, "prop section %d ([%s]) has no \"name\" key; it is left out", i,
                           arrangement->getIniFile().getGroup(i + 1)->getName());
            continue;
        }
        KxRlMeshFile *mesh;
        std::string detail;
        try {
            mesh = meshes.get(propName, &detail);
        } catch (const IOException &e) {
            toolError("%s (%s)\n", e.getErrorString(), propName);
            toolDiagnostic(propName, "%s", detail.empty() ? e.getErrorString() : detail.c_str());
            continue;
        }
        placeProp(&prop, mesh, *arrangement, i, cx, cy, data.lightMap);
    }
    if (prop.getMeshGroupRefCount() == 0) {
        toolError("%s (%s)\n", "No prop of the set dressing file could be placed", name);
        toolDiagnostic(data.file, "none of its %d props was found, so no package was written for it", count);
        return false;
    }

    try {
        exportProp(&prop, name, data.category);
    } catch (const IOException &e) {
        toolError("%s (%s)\n", e.getErrorString(), name);
        return false;
    }
    toolMessage("Exported prop %s!\n", name);
    return true;
}
