#include "GalleryRun.h"

#include "CatalogueEntry.h"
#include "ContentDiagnostics.h"
#include "GalleryAssets.h"
#include "GalleryModel.h"
#include "GalleryPages.h"
#include "GalleryPictures.h"
#include "GalleryState.h"
#include "GalleryText.h"
#include "IOException.h"
#include "KxRlContentRegistry.h"
#include "KxRlMeshFile.h"
#include "KxRlFileCopy.h"
#include "KxRlPakFile.h"
#include "KxRlPakFileEntry.h"
#include "MeshNames.h"
#include "MeshPreview.h"
#include "MeshSummary.h"
#include "OrderedWork.h"
#include "Platform.h"
#include "RandomAccessFile.h"
#include "TemporaryFile.h"
#include "TextFileWriter.h"
#include "ToolFrame.h"
#include "ToolOutput.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <thread>

namespace {

// One mesh file to show, as found on the main thread.
struct GalleryJob {
    GalleryMesh mesh;
    KxRlFileCopy copy;     // the copy the game finds under that name
    std::string key;       // the copy's own file, or its archive and path in it
    int64_t time = 0;      // its file's time, or its archive's
    std::string path;      // the file to read, once had ("" when it could not be had)
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
// The model of the page's 3D view, beside its pictures (see GalleryModel.h).
const char *const kModelScript = "model.js";

std::string joinPath(const std::string &folder, const std::string &name) {
    if (folder.empty()) return name;
    return kxrlIsSeparator(folder.back()) ? folder + name : folder + "/" + name;
}

// Writes `text` as the text file `path`; throws IOException.
void writeTextFile(const std::string &path, const std::string &text) {
    TextFileWriter file;
    std::string reason;
    if (!file.open(path.c_str(), &reason)) throw IOException(reason);
    file.write(text.c_str(), text.size());
    file.close();
}

// The card and catalogue entry of a mesh file drawn in an earlier run, kept beside its pictures.
void writeFragments(const std::string &path, const GalleryResult &result) {
    std::string text = "card " + std::to_string(result.card.size()) + "\n" + result.card + "entry " +
                       std::to_string(result.entry.size()) + "\n" + result.entry;
    writeWholeFile(path.c_str(), text.data(), text.size());
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

// Removes the pictures, the view's model and the kept fragments of a mesh file's folder (what
// an earlier drawing left), and, with `folderToo`, the folder itself.
void clearPictureFolder(const std::string &folder, bool folderToo) {
    for (const char *pattern : {"*.png", kModelScript, kFragmentsFile})
        for (const platform::DirEntry &entry : platform::listDirectory(joinPath(folder, pattern).c_str()))
            if (!(entry.attributes & platform::ATTR_DIRECTORY))
                platform::removeFile(joinPath(folder, entry.name).c_str());
    if (folderToo) platform::removeEmptyDirectory(folder.c_str());
}

class Gallery {
public:
    explicit Gallery(const GalleryOptions &options) : options(options) {}

    void run();

private:
    // Every mesh file named, each once, in name order, as the game finds it (nothing is
    // extracted yet); names no source has are reported.
    std::vector<GalleryJob> findMeshes() const;
    // The file to read for `job`: an archived copy is extracted into the cache folder.
    void fetch(GalleryJob &job) const;
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

std::vector<GalleryJob> Gallery::findMeshes() const {
    KxRlContentRegistry *registry = getContentRegistry();
    std::map<std::string, GalleryJob> byName;
    for (const std::string &name : options.names) {
        const bool pattern = isMeshPattern(name.c_str());
        const MeshLocation location = locateMeshName(name.c_str());
        KxRlCopyListing listing;
        try {
            if (kxrlHasParentPart(name.c_str()))
                throw IOException("A mesh file name may not lead out of its folder with \"..\"");
            listing = registry->listCopies(location.file.c_str(), location.folder.c_str(), false,
                                           KxRlContentRegistry::Copies::Winners);
            if (listing.copies.empty())
                throw IOException(std::string(pattern ? "no mesh file matches in " : "not found in ") + location.folder +
                                  " of " + describeSearchedSources(registry));
        } catch (const IOException &e) {
            toolError("Could not load mesh file %s\n", name.c_str());
            toolDiagnostic(name.c_str(), "%s", e.describe().c_str());
            continue;
        }
        for (const KxRlRefusedCopy &refused : listing.refused)
            toolDiagnostic(refused.subject.c_str(), "warning: left out of the gallery: %s", refused.reason.c_str());
        const std::string folderPart = name.substr(0, static_cast<size_t>(fileNameOf(name.c_str()) - name.c_str()));
        for (const KxRlFileCopy &copy : listing.copies) {
            GalleryJob job;
            job.mesh.name = pattern ? folderPart + fileNameOf(copy.path.c_str()) : name;
            if (byName.count(job.mesh.name)) continue;
            job.mesh.stem = pageStem(job.mesh.name);
            job.mesh.source = {kxrlSourceKindName(copy.place->kind), copy.place->path};
            job.mesh.size = copy.size;
            job.copy = copy;
            if (copy.entry) {
                job.key = copy.place->path + "\t" + copy.path;
                job.time = copy.entry->getPakFile()->getTimestamp();
            } else {
                job.key = platform::nativePath(copy.file.c_str());
                platform::getModificationTime(copy.file.c_str(), &job.time);
            }
            byName[job.mesh.name] = job;
        }
    }
    std::vector<GalleryJob> jobs;
    for (auto &named : byName) jobs.push_back(std::move(named.second));
    return jobs;
}

void Gallery::fetch(GalleryJob &job) const {
    try {
        job.path = getContentRegistry()->readablePath(job.copy);
    } catch (const IOException &e) {
        job.path.clear();
        job.mesh.damaged = e.describe();
    }
}

std::string Gallery::settings() const {
    // The pages' make-up is part of the settings: pages of an older make-up are drawn again.
    std::string text = "meshgallery " KX_SUITE_VERSION " pages 2";
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
        writing = joinPath(folder, kModelScript);
        writeTextFile(writing, galleryModelScript(*file, summary));
        file.reset();
        writing = out("meshes/" + mesh.stem + ".html");
        writeTextFile(writing, meshPage(mesh, summary, options.context));
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
        const std::pair<const char *, const char *> assets[] = {
            {"gallery.css", kGalleryCss}, {"gallery.js", kGalleryJs}, {"viewer.js", kGalleryViewerJs}};
        for (const auto &asset : assets) {
            writing = out(asset.first);
            writeTextFile(writing, asset.second);
        }
        return true;
    } catch (const IOException &e) {
        toolError("Could not write the gallery into %s\n", options.folder.c_str());
        toolDiagnostic(platform::nativePath(writing.c_str()).c_str(), "the gallery cannot be written there: %s",
                       describeWriteFailure(e, options.folder.c_str()).c_str());
        return false;
    }
}

void Gallery::report(const GalleryJob &job, const GalleryResult &result) {
    const char *name = job.mesh.name.c_str();
    if (result.damaged) {
        damaged++;
        toolError("Could not load mesh file %s\n", name);
        const std::string &reason = result.damagedReason;
        toolDiagnostic(name, "%s (found in the %s)", reason.c_str(), describeMeshSource(job.mesh.source).c_str());
    } else if (!result.failure.empty()) {
        toolError("Could not draw mesh file %s\n", name);
        toolDiagnostic(name, "%s", result.failure.c_str());
    } else if (result.drawn) {
        drawn++;
        toolMessage("Drawing mesh file %s...\n", name);
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
    std::vector<GalleryJob> jobs = findMeshes();
    if (!jsonOnly()) {
        if (!prepareFolder()) return;
        previous.read(out(GalleryState::kFileName), settings());
        for (GalleryJob &job : jobs) {
            const GalleryStateEntry *last = previous.find(job.mesh.name);
            GalleryStateEntry now{job.mesh.name, job.mesh.stem, job.mesh.source.kind, job.mesh.source.path,
                                  job.key, job.mesh.size, job.time};
            job.reuse = last && last->sameSource(now) &&
                        platform::isDirectory(meshFolder(job.mesh.stem).c_str()) &&
                        kxrlFileExists(out("meshes/" + job.mesh.stem + ".html").c_str());
        }
    }
    // Archived files are extracted here, one at a time: the content registry is not shared
    // with the drawing threads.
    for (GalleryJob &job : jobs)
        if (!job.reuse) fetch(job);

    std::string catalogueName = jsonOnly() ? options.jsonFile : out("catalogue.json");
    TextFileWriter catalogue, index;
    std::string reason;
    if (!catalogue.open(catalogueName.c_str(), &reason)) {
        toolError("Could not write the catalogue %s\n", catalogueName.c_str());
        toolDiagnostic(platform::nativePath(catalogueName.c_str()).c_str(), "cannot be written: %s",
                       jsonOnly() ? reason.c_str()
                                  : describeWriteFailure(IOException(reason), options.folder.c_str()).c_str());
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
            kept.push_back({job.mesh.name, job.mesh.stem, job.mesh.source.kind, job.mesh.source.path, job.key,
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
        toolMessage("Catalogue of %d mesh files: %s\n", static_cast<int>(jobs.size()), catalogueName.c_str());
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
    toolMessage("Gallery of %d mesh files (%d drawn, %d unchanged, %d damaged): open %s\n",
                static_cast<int>(jobs.size()), drawn, unchanged, damaged,
                platform::nativePath(indexName.c_str()).c_str());
}

}  // namespace

void runGallery(const GalleryOptions &options) {
    Gallery gallery(options);
    gallery.run();
}
