#include "GalleryRun.h"

#include "CatalogueEntry.h"
#include "ContentDiagnostics.h"
#include "GalleryAssets.h"
#include "GalleryPages.h"
#include "GalleryPictures.h"
#include "GalleryState.h"
#include "GalleryText.h"
#include "IOException.h"
#include "KxRlContentRegistry.h"
#include "KxRlMeshFile.h"
#include "KxRlPakFile.h"
#include "KxRlPakRegistry.h"
#include "MeshNames.h"
#include "MeshPreview.h"
#include "MeshSummary.h"
#include "OrderedWork.h"
#include "Platform.h"
#include "RandomAccessFile.h"
#include "TextFileWriter.h"
#include "ToolFrame.h"
#include "ToolOutput.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <thread>

namespace {

// One mesh file to show, as found on the main thread.
struct GalleryJob {
    GalleryMesh mesh;
    std::string path;      // the file to read ("" when it could not be had)
    std::string foundAt;   // where it was found, for messages
    int64_t time = 0;
    bool reuse = false;    // unchanged since the last run: its page and pictures stay
};

struct GalleryResult {
    std::string card;
    std::string entry;
    bool drawn = false;
    bool damaged = false;
    std::string damagedReason;
    std::string failure;  // an output that could not be written: "<path>: <reason>"
};

const char *const kFragmentsFile = "fragments.txt";

std::string joinPath(const std::string &folder, const std::string &name) {
    if (folder.empty()) return name;
    return kxrlIsSeparator(folder.back()) ? folder + name : folder + "/" + name;
}

// The card and catalogue entry of a mesh file drawn in an earlier run, kept beside its pictures.
void writeFragments(const std::string &path, const GalleryResult &result) {
    std::string text = "card " + std::to_string(result.card.size()) + "\n" + result.card + "entry " +
                       std::to_string(result.entry.size()) + "\n" + result.entry;
    RandomAccessFile file(path.c_str(), "wb");
    file.write(text.data(), text.size());
    file.close();
}

bool readFragments(const std::string &path, GalleryResult *result) {
    try {
        RandomAccessFile file(path.c_str(), "rb");
        int64_t length = file.getLength();
        if (length <= 0 || length > (256 << 20)) return false;
        std::string text(static_cast<size_t>(length), '\0');
        if (file.read(&text[0], text.size()) != text.size()) return false;
        size_t at = 0;
        std::string *parts[2] = {&result->card, &result->entry};
        const char *labels[2] = {"card ", "entry "};
        for (int i = 0; i < 2; i++) {
            size_t label = std::char_traits<char>::length(labels[i]);
            size_t line = text.find('\n', at);
            if (line == std::string::npos || text.compare(at, label, labels[i]) != 0) return false;
            unsigned long long size = std::strtoull(text.substr(at + label, line - at - label).c_str(), nullptr, 10);
            if (size > text.size() - line - 1) return false;
            *parts[i] = text.substr(line + 1, static_cast<size_t>(size));
            at = line + 1 + static_cast<size_t>(size);
        }
        return at == text.size();
    } catch (const IOException &) {
        return false;
    }
}

// Removes the pictures and kept fragments of a mesh file's folder (what an earlier drawing
// left), and, with `folderToo`, the folder itself.
void clearPictureFolder(const std::string &folder, bool folderToo) {
    for (const char *pattern : {"*.png", kFragmentsFile})
        for (const platform::DirEntry &entry : platform::listDirectory(joinPath(folder, pattern).c_str()))
            if (!(entry.attributes & platform::ATTR_DIRECTORY))
                platform::removeFile(joinPath(folder, entry.name).c_str());
    if (folderToo) platform::removeEmptyDirectory(folder.c_str());
}

std::string absoluteFolder(const std::string &folder) {
    if (isAbsolutePath(folder.c_str())) return platform::nativePath(folder.c_str());
    char current[KXRL_PATH_SIZE];
    if (!platform::getCurrentDirectory(current, sizeof current)) return platform::nativePath(folder.c_str());
    return platform::nativePath(joinPath(current, folder).c_str());
}

// Where the registry's source `source` found the file `file` of `folder`.
MeshSource sourceOf(const KxRlGameFiles *source, const MeshLocation &location) {
    if (const KxRlPakRegistry *archives = dynamic_cast<const KxRlPakRegistry *>(source)) {
        const KxRlPakFileEntry *entry = archives->findEntry(location.file.c_str(), location.folder.c_str(), false);
        return {"archive", platform::nativePath(entry ? entry->getPakFile()->getFilename() : archives->getPakFolder())};
    }
    const char *root = source->getRootFolder();
    if (std::string(root) == getContentFolder()) return {"content", platform::nativePath(root)};
    const char *game = kxrlGetGamePath();
    if (game && std::string(root) == game) return {"game", platform::nativePath(root)};
    return {"newdata", absoluteFolder(root)};
}

class Gallery {
public:
    explicit Gallery(const GalleryOptions &options) : options(options) {}

    void run();

private:
    std::vector<std::string> meshNames() const;
    GalleryJob findJob(const std::string &name) const;
    std::string settings() const;
    GalleryResult process(const GalleryJob &job) const;
    GalleryResult draw(const GalleryJob &job) const;
    // Writes the style sheet and the script; false, with the failure reported, when the
    // folder cannot be written.
    bool prepareFolder();
    void report(const GalleryJob &job, const GalleryResult &result);
    void removeStale(const std::vector<GalleryStateEntry> &kept) const;

    std::string out(const std::string &name) const { return joinPath(options.folder, name); }
    std::string meshFolder(const std::string &stem) const { return out("meshes/" + stem); }

    const GalleryOptions &options;
    bool jsonOnly() const { return !options.jsonFile.empty(); }
    GalleryState previous;
    int drawn = 0, unchanged = 0, damaged = 0;
};

std::vector<std::string> Gallery::meshNames() const {
    std::vector<std::string> names;
    for (const std::string &name : options.names)
        forEachMeshFile(name.c_str(), [&names](const char *found) { names.push_back(found); });
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

GalleryJob Gallery::findJob(const std::string &name) const {
    GalleryJob job;
    job.mesh.name = name;
    job.mesh.stem = pageStem(name);
    KxRlContentRegistry *registry = getContentRegistry();
    MeshLocation location = locateMeshName(name.c_str());
    char path[KXRL_PATH_SIZE] = {};
    try {
        if (kxrlHasParentPart(name.c_str()))
            throw IOException("A mesh file name may not lead out of its folder with \"..\"");
        KxRlGameFiles *source = registry->getContentSource(path, location.file.c_str(), location.folder.c_str(), false);
        if (!source) throw IOException("not found in " + location.folder + " of " + describeSearchedSources(registry));
        job.foundAt = describeFoundFile(source, path, location.file.c_str(), location.folder.c_str());
        job.mesh.source = sourceOf(source, location);
        job.path = path;
        std::vector<platform::DirEntry> entries = platform::listDirectory(path);
        job.mesh.size = entries.empty() ? 0 : entries[0].size;
        platform::getModificationTime(path, &job.time);
    } catch (const IOException &e) {
        job.mesh.damaged = e.describe();
        job.path.clear();
        // An archived file that cannot be extracted is there all the same: it gets a card.
        for (int i = 0; i < registry->getSourceCount() && job.mesh.source.kind.empty(); i++) {
            const KxRlPakRegistry *archives = dynamic_cast<const KxRlPakRegistry *>(registry->getSource(i));
            if (archives && archives->findEntry(location.file.c_str(), location.folder.c_str(), false))
                job.mesh.source = sourceOf(archives, location);
        }
    }
    return job;
}

std::string Gallery::settings() const {
    std::string text = "meshgallery " KX_SUITE_VERSION;
    for (const std::string &folder : options.context.newDataFolders) text += "\t-newdata " + folder;
    return text;
}

GalleryResult Gallery::process(const GalleryJob &job) const {
    try {
        GalleryResult result;
        if (job.reuse && readFragments(joinPath(meshFolder(job.mesh.stem), kFragmentsFile), &result)) return result;
        return draw(job);
    } catch (const IOException &e) {
        GalleryResult result;
        result.failure = e.describe();
        return result;
    } catch (const std::exception &e) {  // out of memory, above all
        GalleryResult result;
        result.failure = e.what();
        return result;
    }
}

GalleryResult Gallery::draw(const GalleryJob &job) const {
    GalleryResult result;
    GalleryMesh mesh = job.mesh;
    std::unique_ptr<KxRlMeshFile> file;
    if (!job.path.empty() && mesh.damaged.empty()) {
        try {
            file.reset(KxRlMeshFile::CreateFromFile(job.path.c_str()));
        } catch (const IOException &e) {
            mesh.damaged = e.describe();
        }
    }
    if (!file) {
        result.damaged = true;
        result.damagedReason = mesh.damaged;
        result.card = meshCard(mesh, nullptr);
        result.entry = catalogueEntry(mesh, nullptr, !jsonOnly());
        return result;
    }
    FileSummary summary = summariseMeshFile(*file);
    result.entry = catalogueEntry(mesh, &summary, !jsonOnly());
    if (jsonOnly()) return result;
    result.card = meshCard(mesh, &summary);
    std::string folder = meshFolder(mesh.stem);
    std::string writing = folder;
    try {
        platform::makeDirectory(folder.c_str());
        clearPictureFolder(folder, false);
        drawGalleryPictures(summary, meshFileTriangles(*file), folder);
        file.reset();
        writing = out("meshes/" + mesh.stem + ".html");
        TextFileWriter page;
        std::string reason;
        if (!page.open(writing.c_str(), &reason)) throw IOException(reason);
        std::string text = meshPage(mesh, summary, options.context);
        page.write(text.c_str(), text.size());
        page.close();
        writing = joinPath(folder, kFragmentsFile);
        writeFragments(writing, result);
        result.drawn = true;
    } catch (const IOException &e) {
        result.failure = platform::nativePath(writing.c_str()) + ": " + e.describe();
    }
    return result;
}

bool Gallery::prepareFolder() {
    std::string writing = options.folder;
    try {
        lockOutputDir(options.folder.c_str());
        platform::makeDirectory(out("meshes").c_str());
        const std::pair<const char *, const char *> assets[] = {{"gallery.css", kGalleryCss}, {"gallery.js", kGalleryJs}};
        for (const auto &asset : assets) {
            writing = out(asset.first);
            TextFileWriter file;
            std::string reason;
            if (!file.open(writing.c_str(), &reason)) throw IOException(reason);
            file.write(asset.second);
            file.close();
        }
        return true;
    } catch (const IOException &e) {
        toolError("Could not write the gallery into %s\n", options.folder.c_str());
        toolDiagnostic(platform::nativePath(writing.c_str()).c_str(), "the gallery cannot be written there: %s%s",
                       e.describe().c_str(), missingFolderNote(options.folder.c_str()).c_str());
        return false;
    }
}

void Gallery::report(const GalleryJob &job, const GalleryResult &result) {
    const char *name = job.mesh.name.c_str();
    if (result.damaged) {
        damaged++;
        toolError("Could not load mesh file %s\n", name);
        const std::string &reason = result.damagedReason;
        if (job.foundAt.empty()) toolDiagnostic(name, "%s", reason.c_str());
        else toolDiagnostic(name, "%s (%s)", reason.c_str(), job.foundAt.c_str());
    } else if (!result.failure.empty()) {
        toolError("Could not draw mesh file %s\n", name);
        toolDiagnostic(name, "%s", result.failure.c_str());
    } else if (result.drawn) {
        drawn++;
        std::printf("Drawing mesh file %s...\n", name);
    } else if (!jsonOnly()) {
        unchanged++;
    }
}

void Gallery::removeStale(const std::vector<GalleryStateEntry> &kept) const {
    for (const auto &old : previous.entries()) {
        bool stillShown = std::any_of(kept.begin(), kept.end(),
                                      [&old](const GalleryStateEntry &e) { return e.stem == old.second.stem; });
        if (stillShown) continue;
        clearPictureFolder(meshFolder(old.second.stem), true);
        platform::removeFile(out("meshes/" + old.second.stem + ".html").c_str());
    }
}

void Gallery::run() {
    std::vector<std::string> names = meshNames();
    std::vector<GalleryJob> jobs;
    jobs.reserve(names.size());
    for (const std::string &name : names) {
        GalleryJob job = findJob(name);
        if (job.path.empty() && job.mesh.source.kind.empty()) {
            // No source has it: nothing to show.
            toolError("Could not load mesh file %s\n", name.c_str());
            toolDiagnostic(name.c_str(), "%s", job.mesh.damaged.c_str());
            continue;
        }
        jobs.push_back(job);
    }
    if (!jsonOnly()) {
        if (!prepareFolder()) return;
        previous.read(out(GalleryState::kFileName), settings());
        for (GalleryJob &job : jobs) {
            const GalleryStateEntry *last = previous.find(job.mesh.name);
            GalleryStateEntry now{job.mesh.name, job.mesh.stem, job.mesh.source.kind, job.mesh.source.path,
                                  job.path, job.mesh.size, job.time};
            job.reuse = last && last->sameSource(now) &&
                        platform::isDirectory(meshFolder(job.mesh.stem).c_str()) &&
                        kxrlFileExists(out("meshes/" + job.mesh.stem + ".html").c_str());
        }
    }

    std::string catalogueName = jsonOnly() ? options.jsonFile : out("catalogue.json");
    TextFileWriter catalogue, index;
    std::string reason;
    if (!catalogue.open(catalogueName.c_str(), &reason)) {
        toolError("Could not write the catalogue %s\n", catalogueName.c_str());
        toolDiagnostic(platform::nativePath(catalogueName.c_str()).c_str(), "cannot be written: %s%s", reason.c_str(),
                       jsonOnly() ? "" : missingFolderNote(options.folder.c_str()).c_str());
        return;
    }
    std::string indexName = out("index.html");
    if (!jsonOnly() && !index.open(indexName.c_str(), &reason)) {
        toolError("Could not write the gallery into %s\n", options.folder.c_str());
        toolDiagnostic(platform::nativePath(indexName.c_str()).c_str(), "cannot be written: %s", reason.c_str());
        return;
    }

    std::vector<GalleryStateEntry> kept;
    std::string writeProblem;
    size_t entries = 0;
    int threads = options.threads > 0 ? options.threads : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    auto consume = [&](size_t i, GalleryResult result) {
        const GalleryJob &job = jobs[i];
        report(job, result);
        if (!result.failure.empty()) return;
        try {
            catalogue.write(entries++ == 0 ? kCatalogueHead : kCatalogueSeparator);
            catalogue.write(result.entry.c_str(), result.entry.size());
            if (!jsonOnly()) index.write(result.card.c_str(), result.card.size());
        } catch (const IOException &e) {
            if (writeProblem.empty()) writeProblem = e.describe();
        }
        if (!result.damaged && !jsonOnly())
            kept.push_back({job.mesh.name, job.mesh.stem, job.mesh.source.kind, job.mesh.source.path, job.path,
                            job.mesh.size, job.time});
    };
    if (!jsonOnly()) index.write(indexPageHead().c_str());
    runOrdered<GalleryResult>(jobs.size(), threads, [&](size_t i) { return process(jobs[i]); }, consume);

    try {
        catalogue.write(entries == 0 ? "{\"meshes\": [" : "");
        catalogue.write(kCatalogueTail);
        catalogue.close();
        if (!jsonOnly()) {
            index.write(indexPageTail().c_str());
            index.close();
        }
    } catch (const IOException &e) {
        if (writeProblem.empty()) writeProblem = e.describe();
    }
    if (!writeProblem.empty()) {
        toolError("Could not write the gallery into %s\n", jsonOnly() ? catalogueName.c_str() : options.folder.c_str());
        toolDiagnostic(platform::nativePath(jsonOnly() ? catalogueName.c_str() : options.folder.c_str()).c_str(),
                       "cannot be written: %s", writeProblem.c_str());
        return;
    }
    if (jsonOnly()) {
        std::printf("Catalogue of %d mesh files: %s\n", static_cast<int>(jobs.size()), catalogueName.c_str());
        return;
    }
    try {
        GalleryState::write(out(GalleryState::kFileName), settings(), kept);
    } catch (const IOException &e) {
        toolError("Could not write the gallery into %s\n", options.folder.c_str());
        toolDiagnostic(platform::nativePath(out(GalleryState::kFileName).c_str()).c_str(), "cannot be written: %s",
                       e.describe().c_str());
    }
    removeStale(kept);
    std::printf("Gallery of %d mesh files (%d drawn, %d unchanged, %d damaged): open %s\n",
                static_cast<int>(jobs.size()), drawn, unchanged, damaged,
                platform::nativePath(indexName.c_str()).c_str());
}

}  // namespace

void runGallery(const GalleryOptions &options) {
    Gallery gallery(options);
    gallery.run();
}
