// The PAK target: what the content registry does with the game's archives at start-up and
// when a tool asks for a file.

#include "FuzzEntries.h"
#include "FuzzScratch.h"

#include "IOException.h"
#include "KxRlContentResults.h"
#include "KxRlPakFile.h"
#include "KxRlPakFileEntry.h"
#include "KxRlPakRegistry.h"
#include "KxRlUtil.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Extraction writes files; a handful per input keeps the target fast.
const int kExtractedEntries = 16;

bool isLowerCase(const char *text) {
    for (; *text; text++)
        if (*text >= 'A' && *text <= 'Z') return false;
    return true;
}

std::string named(const KxRlPakFileEntry *entry) { return std::string(entry->getDirName()) + entry->getFileName(); }

// An extracted copy lies below the cache folder, holds what the entry states, and is used
// again as it is by the next request.
void checkExtraction(KxRlPakFileEntry *entry, const std::string &cache) {
    char path[KXRL_PATH_SIZE];
    try {
        entry->extract(path, cache.c_str());
    } catch (const IOException &) {
        return;
    }
    const std::string extracted = path;
    if (extracted.compare(0, cache.size(), cache) != 0 || kxrlHasParentPart(extracted.c_str() + cache.size()) ||
        std::strchr(extracted.c_str() + cache.size(), ':'))
        fuzzFailure("entry " + named(entry) + " was extracted outside the cache folder, to " + extracted);
    if (readWholeFile(extracted).size() != entry->getDecompressedSize())
        fuzzFailure("entry " + named(entry) + " extracted to " + std::to_string(readWholeFile(extracted).size()) +
                    " bytes, not the " + std::to_string(entry->getDecompressedSize()) + " it states");
    int inflations = -1;
    try {
        inflations = entry->extract(path, cache.c_str());
    } catch (const IOException &e) {
        fuzzFailure("entry " + named(entry) + " extracted once but not twice: " + e.describe());
    }
    if (inflations != 0) fuzzFailure("the extracted copy of " + named(entry) + " was not used again");
}

}  // namespace

int fuzzPakArchive(const uint8_t *data, size_t size) {
    const std::string cache = emptyScratchFolder("cache");
    const std::string pakFolder = emptyScratchFolder("pak");
    // The same archive twice: every entry has a duplicate for the catalogue to drop.
    writeScratchFile("pak/a.pak", data, size);
    writeScratchFile("pak/b.pak", data, size);
    std::unique_ptr<KxRlPakRegistry> registry;
    try {
        registry.reset(KxRlPakRegistry::CreateFromPath(cache.c_str(), pakFolder.c_str()));
    } catch (const IOException &) {
        return 0;
    }
    const int count = registry->getSortedCount();
    for (int i = 0; i < count; i++) {
        KxRlPakFileEntry *entry = registry->getSortedEntry(i);
        if (i > 0 && std::strcmp(registry->getSortedEntry(i - 1)->getFileName(), entry->getFileName()) > 0)
            fuzzFailure("the catalogue is not sorted at position " + std::to_string(i));
        // Requests are lower-cased and directory names keep their stored case, so only an entry
        // whose directory is stored in lower case can be asked for.
        const KxRlPakFileEntry *found = registry->findEntry(entry->getFileName(), entry->getDirName(), false);
        if (isLowerCase(entry->getDirName()) &&
            (!found || std::strcmp(found->getFileName(), entry->getFileName()) != 0))
            fuzzFailure("entry " + named(entry) + " is in the catalogue but not found by its names");
        if (i < kExtractedEntries) checkExtraction(entry, cache);
    }
    if (count > 0) {
        const KxRlPakFileEntry *first = registry->getSortedEntry(0);
        std::vector<std::string> names;
        registry->listNames(names, "*", first->getDirName());
        KxRlContentResults results;
        try {
            registry->findContent(&results, first->getFileName(), first->getDirName(), true);
        } catch (const IOException &) {
        }
    }
    return 0;
}
