#include "PakCommands.h"

#include "ContentDiagnostics.h"
#include "IOException.h"
#include "KxRlContentRegistry.h"
#include "KxRlUtil.h"
#include "PakOutput.h"
#include "PakSelection.h"
#include "Platform.h"
#include "ToolFrame.h"
#include "ToolOutput.h"

#include <cstdio>
#include <cstring>

namespace {

// The patterns of the request ("*" when it gives none and `everything`); a pattern that is refused
// is reported and left out.
std::vector<PakPattern> patternsOf(const PakRequest &request, bool everything) {
    std::vector<PakPattern> patterns;
    if (request.words.empty() && everything) patterns.emplace_back("*");
    for (const std::string &word : request.words) {
        try {
            patterns.emplace_back(word);
        } catch (const IOException &e) {
            toolError("Error with pattern %s : %s\n", word.c_str(), e.getErrorString());
            toolDiagnostic(word.c_str(), "%s", e.describe().c_str());
        }
    }
    return patterns;
}

// A pattern that named no file at all is an error: the user asked for something that is not there.
void reportUnmatched(const std::vector<PakPattern> &patterns, const PakSelection &selection, const char *message) {
    for (size_t i = 0; i < patterns.size(); i++) {
        if (selection.matched[i] > 0) continue;
        toolError(message, patterns[i].text().c_str());
        toolDiagnostic(patterns[i].text().c_str(), "no file %s in %s", patterns[i].path().c_str(),
                       describeSearchedSources(getContentRegistry()).c_str());
    }
}

// Archive entries left out of a listing: a warning for list and which.
void warnRefused(const PakSelection &selection) {
    for (const KxRlRefusedCopy &refused : selection.listing.refused)
        toolDiagnostic(refused.subject.c_str(), "warning: left out: %s", refused.reason.c_str());
}

// Options that the command does not use are named, and ignored.
void warnUnused(const PakRequest &request) {
    const char *command = request.command == PakRequest::EXTRACT ? "extract" : "list and which";
    if (request.json && request.command == PakRequest::EXTRACT)
        toolDiagnostic("-json", "warning: only list and which print JSON; ignored by %s", command);
    if (request.outputFolder && request.command != PakRequest::EXTRACT)
        toolDiagnostic("-o", "warning: only extract writes files; ignored by %s", command);
    if (request.force && request.command != PakRequest::EXTRACT)
        toolDiagnostic("-force", "warning: only extract writes files; ignored by %s", command);
}

bool existsOnDisk(const std::string &path) {
    int64_t seconds;
    return platform::getModificationTime(path.c_str(), &seconds) || platform::isDirectory(path.c_str());
}

// Extracts one winning copy below `folder`, unless something is in the way.
void extractOne(const KxRlFileCopy &copy, const std::string &folder, bool force) {
    std::string target = folder.empty() ? copy.path : folder + "\\" + copy.path;
    std::string shown = platform::nativePath(target.c_str());
    const char *inTheWay = nullptr;
    if (platform::isDirectory(target.c_str()))
        inTheWay = "a folder of that name is in the way";
    else if (existsOnDisk(target) && !force)
        inTheWay = "the file is already there (-force replaces it)";
    else if (platform::isReadOnlyFile(target.c_str()))
        inTheWay = "a read-only file of that name is in the way";
    if (inTheWay) {
        toolError("Error extracting %s : %s\n", copy.path.c_str(), inTheWay);
        toolDiagnostic(shown.c_str(), "not extracted: %s", inTheWay);
        return;
    }
    char written[KXRL_PATH_SIZE];
    try {
        getContentRegistry()->extractCopy(copy, folder.c_str(), written);
    } catch (const IOException &e) {
        toolError("Error extracting %s : %s\n", copy.path.c_str(), e.getErrorString());
        toolDiagnostic(shown.c_str(), "%s (from %s)", e.describe().c_str(), describePlace(*copy.place).c_str());
        return;
    }
    toolMessage("Extracted %s from %s\n", copy.path.c_str(), describePlace(*copy.place).c_str());
}

}  // namespace

PakRequest::Command pakCommandOf(const char *word) {
    if (std::strcmp(word, "list") == 0) return PakRequest::LIST;
    if (std::strcmp(word, "which") == 0) return PakRequest::WHICH;
    if (std::strcmp(word, "extract") == 0) return PakRequest::EXTRACT;
    return PakRequest::NONE;
}

void runList(const PakRequest &request) {
    warnUnused(request);
    std::vector<PakPattern> patterns = patternsOf(request, true);
    PakSelection selection = selectCopies(getContentRegistry(), patterns, KxRlContentRegistry::Copies::All);
    warnRefused(selection);
    reportUnmatched(patterns, selection, "No file matches %s\n");
    const std::vector<KxRlFileCopy> &copies = selection.listing.copies;
    if (request.json) printCopyDocument(copies);
    else printCopyLines(copies);
}

void runWhich(const PakRequest &request) {
    warnUnused(request);
    std::vector<PakPattern> names = patternsOf(request, false);
    if (request.json) {
        PakSelection selection = selectCopies(getContentRegistry(), names, KxRlContentRegistry::Copies::All);
        warnRefused(selection);
        reportUnmatched(names, selection, "Could not find %s\n");
        printCopyDocument(selection.listing.copies);
        return;
    }
    // Name by name, in the order given.
    for (const PakPattern &name : names) {
        PakSelection selection = selectCopies(getContentRegistry(), {name}, KxRlContentRegistry::Copies::All);
        warnRefused(selection);
        reportUnmatched({name}, selection, "Could not find %s\n");
        std::string text;
        for (const KxRlFileCopy &copy : selection.listing.copies) {
            std::string sizes = " (" + std::to_string(copy.size) + " bytes)";
            if (!copy.shadowed)
                text += copy.path + ": " + describePlace(*copy.place) + sizes + "\n";
            else
                text += "  shadows " + describePlace(*copy.place) + sizes + "\n";
        }
        printLines(text);
    }
}

void runExtract(const PakRequest &request) {
    warnUnused(request);
    std::vector<PakPattern> patterns = patternsOf(request, false);
    std::string folder;
    if (request.outputFolder) {
        lockOutputDir(request.outputFolder);
        folder = getOutputFolder();
        while (folder.size() > 1 && kxrlIsSeparator(folder.back())) folder.pop_back();
    }
    PakSelection selection = selectCopies(getContentRegistry(), patterns, KxRlContentRegistry::Copies::Winners);
    reportUnmatched(patterns, selection, "No file matches %s\n");
    for (const KxRlRefusedCopy &refused : selection.listing.refused) {
        toolError("Error extracting %s : %s\n", refused.path.c_str(), refused.reason.c_str());
        toolDiagnostic(refused.subject.c_str(), "not extracted: %s", refused.reason.c_str());
    }
    for (const KxRlFileCopy &copy : selection.listing.copies) extractOne(copy, folder, request.force);
}
