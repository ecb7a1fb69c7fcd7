#include "ContentDiagnostics.h"

#include "KxRlContentRegistry.h"
#include "KxRlPakFile.h"
#include "KxRlPakRegistry.h"
#include "KxRlUtil.h"
#include "Platform.h"
#include "ToolFrame.h"

#include <cstring>

namespace {

const KxRlPakRegistry *asArchives(const KxRlGameFiles *source) { return dynamic_cast<const KxRlPakRegistry *>(source); }

std::string shown(const char *path) { return platform::nativePath(path); }

}  // namespace

std::string describeSource(const KxRlGameFiles *source) {
    if (!source) return "no source";
    if (const KxRlPakRegistry *archives = asArchives(source)) {
        int count = archives->getPakCount();
        return "the archives in " + shown(archives->getPakFolder()) + " (" + std::to_string(count) +
               (count == 1 ? " archive)" : " archives)");
    }
    const char *root = source->getRootFolder();
    switch (source->getSourceKind()) {
    case KxRlSourceKind::Content:
        return "content folder " + shown(root);
    case KxRlSourceKind::Game:
        return "game folder " + shown(root);
    default:
        return std::string("-newdata folder ") + root;  // as the user gave it
    }
}

std::string describeSearchedSources(const KxRlContentRegistry *registry) {
    if (!registry || registry->getSourceCount() == 0) return "no source";
    std::string text;
    for (int i = 0; i < registry->getSourceCount(); i++) {
        if (i > 0) text += "; ";
        text += describeSource(registry->getSource(i));
    }
    return text;
}

std::string describeFoundFile(const KxRlGameFiles *source, const char *path, const char *name, const char *folder) {
    if (const KxRlPakRegistry *archives = asArchives(source)) {
        const KxRlPakFileEntry *entry = archives->findEntry(name, folder, false);
        std::string archive = entry ? entry->getPakFile()->getFilename() : archives->getPakFolder();
        return "found in archive " + shown(archive.c_str()) + ", extracted to " + shown(path);
    }
    return "found in the " + describeSource(source) + " as " + shown(path);
}
