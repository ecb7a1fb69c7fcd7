// Every tool under failing disks and archives, end to end: an output folder that cannot be
// made (a file in its place, or a folder above it without write permission for a user who is
// not root), a disk that fills while the output is written, a cache folder that cannot take the
// extracted copy, an archive that changes after its catalogue was read, and two runs that
// extract the same entry at once. Each failure must end in its described stdout line, a
// stderr line naming the file or folder and the true reason ("Permission denied", not what the
// open of a file in the folder never made would say), a non-zero status, no partial file,
// and no change anywhere but in the run's output and cache folders.

#include "FifoGate.h"
#include "IOException.h"
#include "KxRlPakRegistry.h"
#include "KxRlUtil.h"
#include "MeshChecks.h"
#include "MshBuilder.h"
#include "ToolHarness.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A prop of 400 separate triangles: its mesh file, and everything made from it, is tens of
// kilobytes, far above the file size limit below, while the console output stays below it.
std::string largeProp(const std::string &groupName) {
    MshPoints points;
    std::vector<uint16_t> triangles;
    for (int i = 0; i < 400; i++) {
        float x = static_cast<float>(i % 20) - 10, y = static_cast<float>(i / 20) - 10;
        points.push_back({x, y, 0});
        points.push_back({x + 0.5f, y, 0});
        points.push_back({x, y + 0.5f, 1});
        for (int k = 0; k < 3; k++) triangles.push_back(static_cast<uint16_t>(3 * i + k));
    }
    MshDescription d;
    d.flags[1] = 0x01;  // group names
    d.bitmaps = {"chair.dds"};
    d.materials = {mshMaterial(0)};
    MshGroup group;
    group.name = groupName;
    group.meshes = {mshTriangles(0, points, triangles)};
    d.groups = {group};
    return bytesOf(buildMsh(d));
}

const uint64_t kFileSizeLimit = 8192;

std::string setDressing(const std::string &prop) {
    return "set=041\r\n[0]\r\nname=" + prop + "\r\nposition.x=0\r\nposition.y=0\r\nposition.z=0\r\nangle=0\r\n";
}

std::string room(const std::string &prop) {
    return "[wall]\nx = 0\ny = 0\n[wall]\nx = 4\ny = 0\n[wall]\nx = 4\ny = 4\n[wall]\nx = 0\ny = 4\n"
           "[prop]\nprop = " +
           prop + "\n";
}

PakWriter crateArchive(const std::string &groupName) {
    PakWriter pak;
    pak.add("data\\meshes\\", "p_crate.msh", largeProp(groupName), PakWriter::COMPRESSED);
    return pak;
}

// The game of every case: p_chair.msh lies loose in the game folder (also in its folder
// data/meshes/locked/, for the export into work/locked/), p_crate.msh in the
// archive base.pak; the work folder holds the set-dressing files and rooms that use them.
void layGame(const FakeInstall &install) {
    install.addGameFile("data/meshes/p_chair.msh", largeProp("chair"));
    install.addGameFile("data/meshes/locked/p_chair.msh", largeProp("chair"));
    install.addPak("base.pak", crateArchive("crate"));
    install.addRootFile("work/chairs.ini", setDressing("p_chair"));
    install.addRootFile("work/crates.ini", setDressing("p_crate"));
    install.addRootFile("work/hall.ini", room("p_chair"));
    install.addRootFile("work/store.ini", room("p_crate"));
    install.addRootFile("work/content/readme.txt", "the tool's own folder, made before the run");
}

// What a folder tree holds: each path below it with its kind, and each file's size and
// modification time.
using Snapshot = std::map<std::string, std::string>;

Snapshot snapshotOf(const std::string &root, const std::vector<std::string> &excluded) {
    Snapshot shot;
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        std::string relative = it->path().lexically_relative(root).generic_string();
        bool skip = false;
        for (const std::string &folder : excluded)
            if (relative == folder || relative.compare(0, folder.size() + 1, folder + "/") == 0) skip = true;
        if (skip) {
            if (it->is_directory()) it.disable_recursion_pending();
            continue;
        }
        // A folder's own time changes with the cache and content folders made in it.
        std::error_code ignored;
        std::string state = it->is_directory() ? "folder" : it->is_regular_file() ? "file" : "pipe";
        if (it->is_regular_file())
            state += " of " + std::to_string(it->file_size(ignored)) + " bytes @" +
                     std::to_string(fs::last_write_time(it->path(), ignored).time_since_epoch().count());
        shot[relative] = state;
    }
    return shot;
}

enum Fault {
    OUTPUT_IS_A_FILE,       // a file stands where the output folder goes
    OUTPUT_PARENT_LOCKED,   // the output folder's parent, {root}/locked, has no write permission
    WORK_SUBFOLDER_LOCKED,  // work/locked has no write permission
    DISK_FULL,              // no file may grow beyond kFileSizeLimit
    CACHE_IS_A_FILE,        // a file stands where the cache folder goes
    CACHE_LOCKED,           // the cache folder has no write permission
    ARCHIVE_TRUNCATED,      // after the catalogue is read, the archive loses its second half
    ARCHIVE_REMOVED,        // ... the archive is deleted
    ARCHIVE_REPLACED,       // ... another archive of the same name takes its place
};

struct FaultCase {
    const char *title;
    const char *tool;
    Fault fault;
    std::vector<std::string> arguments;  // "{root}" stands for the installation's root
    int status;
    std::vector<std::string> output;  // parts of standard output, in this order
    std::vector<std::string> errors;  // parts of standard error ("{root}" as above)
    // Folders below the root that the run may change, besides work/cache and work/content.
    std::vector<std::string> changes;
    // OUTPUT_IS_A_FILE: the output folder of the run, below the work folder.
    const char *outputFolder = nullptr;
};

void PrintTo(const FaultCase &c, std::ostream *os) { *os << c.title; }

std::string withRoot(std::string text, const FakeInstall &install) {
    std::string root = fs::path(install.root()).generic_string();
    for (size_t at; (at = text.find("{root}")) != std::string::npos;) text.replace(at, 6, root);
    return text;
}

// The stderr parts of a package whose mesh file could not be made in `folder` (no folder
// there: "could not be made"; a full disk: "File too large").
std::vector<std::string> packageFailure(const std::string &folder, const std::string &prop, const std::string &why) {
    return {": " + nativeSeparators(folder + "/data/meshes/" + prop + ".msh") + ": " + why};
}

// The stderr line of a file that could not be written because its folder could not be made.
std::string folderFailure(const std::string &tool, const std::string &file, const std::string &reason,
                          const std::string &folder) {
    return tool + ": " + nativeSeparators(file) + ": " + reason + " (the folder " + nativeSeparators(folder) +
           " could not be made)\n";
}

const char *const kFileExists = "File could not be opened: File exists";
const char *const kNoPermission = "File could not be opened: Permission denied";
const char *const kTooLarge = "File too large";
const char *const kExtraction = "Could not write the extracted copy of data\\meshes\\p_crate.msh of ";
const char *const kRoomReport = "Processing room INI file ";

const std::vector<FaultCase> &faultCases() {
    static const std::vector<FaultCase> cases = {
        // An output folder that cannot be made.
        {"propcarverOutputIsAFile", "propcarver", OUTPUT_IS_A_FILE, {"p_chair.msh", "chair", "-g", "0"}, 1,
         {"Error exporting prop : File could not be opened\n"},
         {folderFailure("propcarver", "p_chair/data/meshes/p_chair.msh", kFileExists, "p_chair")}, {}, "p_chair"},
        {"propbenderOutputIsAFile", "propbender", OUTPUT_IS_A_FILE, {"p_chair.msh", "chair"}, 1,
         {"Error exporting prop : File could not be opened\n"},
         {folderFailure("propbender", "p_chair/data/meshes/p_chair.msh", kFileExists, "p_chair")}, {}, "p_chair"},
        {"dresscasterOutputIsAFile", "dresscaster", OUTPUT_IS_A_FILE, {"chairs.ini"}, 1,
         {"File could not be opened (p_chairs)\n"},
         {folderFailure("dresscaster", "chairs/data/meshes/p_chairs.msh", kFileExists, "chairs")}, {}, "chairs"},
        {"roomwrightOutputIsAFile", "roomwright", OUTPUT_IS_A_FILE, {"hall.ini"}, 1,
         {kRoomReport, "File could not be opened (p_hall)\n"},
         {folderFailure("roomwright", "hall/data/meshes/p_hall.msh", kFileExists, "hall")}, {}, "hall"},
        {"meshlisterOutputIsAFile", "meshlister", OUTPUT_IS_A_FILE, {"-xm", "p_chair.msh"}, 1,
         {"Exporting prop for full mesh (group 0, mesh 0)...\nCould not load mesh file p_chair.msh\n"},
         {folderFailure("meshlister", "p_chair/group00mesh00.msh", std::string("export failed: ") + kFileExists,
                        "p_chair")},
         {"work/meshlister.txt"}, "p_chair"},
        {"propbridgeOutputIsAFile", "propbridge", OUTPUT_IS_A_FILE, {"export", "p_chair.msh", "-o", "p_chair"}, 1,
         {"Error exporting glTF file p_chair/p_chair.gltf : Could not create the folder for the files being written"},
         {"propbridge: p_chair/p_chair.gltf: Could not create the folder", ".part: File exists\n"}, {}, "p_chair"},
        // A folder without write permission, for a user who is not root: "Permission denied",
        // not what the open of a file in the folder that was never made would say.
        {"propcarverOutputParentLocked", "propcarver", OUTPUT_PARENT_LOCKED,
         {"-workdata", "{root}/locked/out", "p_chair.msh", "chair", "-g", "0"}, 1,
         {"Error exporting prop : File could not be opened\n"},
         {folderFailure("propcarver", "{root}/locked/out/data/meshes/p_chair.msh", kNoPermission, "{root}/locked/out")},
         {}},
        {"propbenderOutputParentLocked", "propbender", OUTPUT_PARENT_LOCKED,
         {"-workdata", "{root}/locked/out", "p_chair.msh", "chair"}, 1,
         {"Error exporting prop : File could not be opened\n"},
         {folderFailure("propbender", "{root}/locked/out/data/meshes/p_chair.msh", kNoPermission, "{root}/locked/out")},
         {}},
        {"dresscasterOutputParentLocked", "dresscaster", OUTPUT_PARENT_LOCKED,
         {"-workdata", "{root}/locked/out", "chairs.ini"}, 1, {"File could not be opened (p_chairs)\n"},
         {folderFailure("dresscaster", "{root}/locked/out/data/meshes/p_chairs.msh", kNoPermission,
                        "{root}/locked/out")},
         {}},
        {"roomwrightOutputParentLocked", "roomwright", OUTPUT_PARENT_LOCKED,
         {"-workdata", "{root}/locked/out", "hall.ini"}, 1, {kRoomReport, "File could not be opened (p_hall)\n"},
         {folderFailure("roomwright", "{root}/locked/out/data/meshes/p_hall.msh", kNoPermission, "{root}/locked/out")},
         {}},
        {"meshlisterReportFolderLocked", "meshlister", OUTPUT_PARENT_LOCKED,
         {"-r", "{root}/locked/report.txt", "p_chair.msh"}, 1,
         {"An error occurred attempting to write to the output file!\n"},
         {"meshlister: {root}/locked/report.txt: the report file cannot be written: " + std::string(kNoPermission)},
         {}},
        {"meshlisterExportFolderLocked", "meshlister", WORK_SUBFOLDER_LOCKED, {"-xm", "locked/p_chair.msh"}, 1,
         {"Exporting prop for full mesh (group 0, mesh 0)...\nCould not load mesh file locked/p_chair.msh\n"},
         {folderFailure("meshlister", "locked/p_chair/group00mesh00.msh",
                        std::string("export failed: ") + kNoPermission, "locked/p_chair")},
         {"work/meshlister.txt"}},
        {"propbridgeOutputParentLocked", "propbridge", OUTPUT_PARENT_LOCKED,
         {"export", "p_chair.msh", "-o", "{root}/locked/out"}, 1, {"Error exporting glTF file {root}/locked/out/"},
         {"propbridge: {root}/locked/out/p_chair.gltf: Could not create the folder for the files being written: ",
          ".part: Permission denied\n"},
         {}},
        // A disk that fills while the output is written.
        {"propcarverDiskFull", "propcarver", DISK_FULL, {"p_chair.msh", "chair", "-g", "0"}, 1,
         {"Error exporting prop : File too large\n"}, packageFailure("p_chair", "p_chair", kTooLarge),
         {"work/p_chair"}},
        {"propbenderDiskFull", "propbender", DISK_FULL, {"p_chair.msh", "chair"}, 1,
         {"Error exporting prop : File too large\n"}, packageFailure("p_chair", "p_chair", kTooLarge),
         {"work/p_chair"}},
        {"dresscasterDiskFull", "dresscaster", DISK_FULL, {"chairs.ini"}, 1, {"File too large (p_chairs)\n"},
         packageFailure("chairs", "p_chairs", kTooLarge), {"work/chairs"}},
        {"roomwrightDiskFull", "roomwright", DISK_FULL, {"hall.ini"}, 1, {kRoomReport, "File too large (p_hall)\n"},
         packageFailure("hall", "p_hall", kTooLarge), {"work/hall"}},
        {"meshlisterDiskFull", "meshlister", DISK_FULL, {"-xm", "p_chair.msh"}, 1,
         {"Could not load mesh file p_chair.msh\n"},
         {"meshlister: p_chair/group00mesh00.msh: export failed: File too large"},
         {"work/p_chair", "work/meshlister.txt"}},
        {"propbridgeDiskFull", "propbridge", DISK_FULL, {"export", "p_chair.msh"}, 1,
         {"Error exporting glTF file p_chair.gltf : The file written is not whole"},
         {"propbridge: p_chair.gltf: The file written is not whole"}, {"work/p_chair.gltf", "work/p_chair.bin"}},
        // A cache folder that cannot take the extracted copy: the run fails and names the cache
        // path and the reason. A copy elsewhere would write outside the run's folders and hide a
        // cache that every later run would miss as well.
        {"propcarverCacheIsAFile", "propcarver", CACHE_IS_A_FILE, {"p_crate.msh", "crate", "-g", "0"}, 1,
         {std::string("Error : ") + kExtraction},
         {std::string("propcarver: p_crate.msh: ") + kExtraction, "cache could not be made: File exists\n"},
         {"work/p_crate"}},
        {"propbenderCacheIsAFile", "propbender", CACHE_IS_A_FILE, {"p_crate.msh", "crate"}, 1,
         {std::string("Error : ") + kExtraction}, {std::string("propbender: p_crate.msh: ") + kExtraction},
         {"work/p_crate"}},
        {"dresscasterCacheIsAFile", "dresscaster", CACHE_IS_A_FILE, {"crates.ini"}, 1,
         {kExtraction, "(p_crate)\nNo prop of the set dressing file could be placed (p_crates)\n"},
         {std::string("dresscaster: p_crate: data\\meshes\\p_crate.msh: ") + kExtraction}, {"work/crates"}},
        {"roomwrightCacheIsAFile", "roomwright", CACHE_IS_A_FILE, {"store.ini"}, 1,
         {kRoomReport, kExtraction, "(p_crate)\n"},
         {std::string("roomwright: p_crate: data\\meshes\\p_crate.msh: ") + kExtraction}, {"work/store"}},
        {"meshlisterCacheIsAFile", "meshlister", CACHE_IS_A_FILE, {"-xm", "p_crate.msh"}, 1,
         {"Could not load mesh file p_crate.msh\n"}, {std::string("meshlister: p_crate.msh: ") + kExtraction},
         {"work/meshlister.txt"}},
        {"propbridgeCacheIsAFile", "propbridge", CACHE_IS_A_FILE, {"export", "p_crate.msh"}, 1,
         {"Could not load mesh file p_crate.msh\n"}, {std::string("propbridge: p_crate.msh: ") + kExtraction}, {}},
        {"propcarverCacheLocked", "propcarver", CACHE_LOCKED, {"p_crate.msh", "crate", "-g", "0"}, 1,
         {std::string("Error : ") + kExtraction},
         {std::string("propcarver: p_crate.msh: ") + kExtraction,
          "/cache/data could not be made: Permission denied\n"},
         {"work/p_crate"}},
        {"meshlisterCacheLocked", "meshlister", CACHE_LOCKED, {"-xm", "p_crate.msh"}, 1,
         {"Could not load mesh file p_crate.msh\n"},
         {std::string("meshlister: p_crate.msh: ") + kExtraction, "/cache/data could not be made: Permission denied\n"},
         {"work/meshlister.txt"}},
        // An archive that changes between its catalogue and the extraction: refused, never read
        // at offsets that no longer hold.
        {"archiveTruncated", "dresscaster", ARCHIVE_TRUNCATED, {"gate.ini"}, 1,
         {"base.pak changed after it was read (", "No prop of the set dressing file could be placed (p_gate)\n"},
         {"dresscaster: p_crate: data\\meshes\\p_crate.msh: PAK archive ", "base.pak changed after it was read ("},
         {"work/gate"}},
        {"archiveRemoved", "dresscaster", ARCHIVE_REMOVED, {"gate.ini"}, 1,
         {"base.pak can no longer be opened (", "No prop of the set dressing file could be placed (p_gate)\n"},
         {"dresscaster: p_crate: data\\meshes\\p_crate.msh: PAK archive ", "it was moved or removed after it was read"},
         {"work/gate"}},
        {"archiveReplaced", "dresscaster", ARCHIVE_REPLACED, {"gate.ini"}, 1,
         {"base.pak changed after it was read (", "No prop of the set dressing file could be placed (p_gate)\n"},
         {"dresscaster: p_crate: data\\meshes\\p_crate.msh: PAK archive ", "base.pak changed after it was read ("},
         {"work/gate"}},
    };
    return cases;
}

// dresscaster started by a path with a backslash (Windows) works in its program's folder, so it
// is started by name, as from a console.
ToolRun runTool(const FakeInstall &install, const char *tool, const std::vector<std::string> &arguments) {
    return std::string(tool) == "dresscaster" ? install.runByName(tool, arguments) : install.run(tool, arguments);
}

class ToolFaults : public ::testing::TestWithParam<FaultCase> {};

}  // namespace

TEST_P(ToolFaults, endInAClearErrorAndTouchNothingElse) {
    const FaultCase &c = GetParam();
    FakeInstall install;
    layGame(install);
    std::vector<std::string> changes = c.changes;
    changes.push_back("work/cache");
    std::string why;
    std::unique_ptr<FifoGate> gate;

    switch (c.fault) {
    case OUTPUT_IS_A_FILE:
        install.addRootFile(std::string("work/") + c.outputFolder, "a file where the output folder goes");
        break;
    case OUTPUT_PARENT_LOCKED:
    case WORK_SUBFOLDER_LOCKED:
    case CACHE_LOCKED:
        if (!install.runAsUnprivilegedUser(&why)) GTEST_SKIP() << why;
        break;
    case DISK_FULL:
        if (!install.limitFileSize(kFileSizeLimit))
            GTEST_SKIP() << "Windows has no per-process file size limit to stand for a full disk";
        break;
    case CACHE_IS_A_FILE:
        install.addRootFile("work/cache", "a file where the cache folder goes");
        break;
    case ARCHIVE_TRUNCATED:
    case ARCHIVE_REMOVED:
    case ARCHIVE_REPLACED:
        if (!FifoGate::supported())
            GTEST_SKIP() << "no named pipe under Windows to hold the run between catalogue and extraction; the "
                            "library test of the same changes runs there";
        gate.reset(new FifoGate(install.workFile("gate.ini")));
        break;
    }
    fs::path locked = c.fault == WORK_SUBFOLDER_LOCKED ? install.workFile("locked") : install.root() + "/locked";
    if (c.fault == OUTPUT_PARENT_LOCKED || c.fault == WORK_SUBFOLDER_LOCKED) {
        fs::create_directories(locked);
        fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    }
    fs::path cache = install.workFile("cache");
    if (c.fault == CACHE_LOCKED) {
        fs::create_directories(cache);
        fs::permissions(cache, fs::perms::owner_read | fs::perms::owner_exec);
    }
    Snapshot before = snapshotOf(install.root(), changes);

    std::vector<std::string> arguments;
    for (const std::string &a : c.arguments) arguments.push_back(withRoot(a, install));
    ToolRun run;
    if (gate) {
        std::string pak = install.gameFolder() + "/data/pak/base.pak";
        auto running = std::async(std::launch::async, [&] { return runTool(install, c.tool, arguments); });
        auto ended = [&] { return running.wait_for(std::chrono::seconds(0)) == std::future_status::ready; };
        // The tool has read the catalogue and now opens the set-dressing file.
        EXPECT_TRUE(gate->waitForReader(ended)) << "the run never opened the set-dressing file";
        if (c.fault == ARCHIVE_TRUNCATED) fs::resize_file(pak, fs::file_size(pak) / 2);
        if (c.fault == ARCHIVE_REMOVED) fs::remove(pak);
        if (c.fault == ARCHIVE_REPLACED) {
            PakWriter other;
            other.add("data\\textures\\", "a_longer_name_first.dds", std::string(300, 't'));
            other.add("data\\meshes\\", "p_crate.msh", largeProp("other"), PakWriter::STORED);
            other.writeTo(pak);
        }
        gate->finish(setDressing("p_crate"));
        run = running.get();
        changes.push_back("game/data/pak/base.pak");
        before.erase("game/data/pak/base.pak");
    } else {
        run = runTool(install, c.tool, arguments);
    }
    if (c.fault == OUTPUT_PARENT_LOCKED || c.fault == WORK_SUBFOLDER_LOCKED)
        fs::permissions(locked, fs::perms::owner_all);
    if (c.fault == CACHE_LOCKED) fs::permissions(cache, fs::perms::owner_all);

    EXPECT_EQ(c.status, run.status) << run.output << run.errors;
    EXPECT_EQ(0u, run.output.find(kToolStartUp)) << run.output;
    std::vector<std::string> output;
    for (const std::string &part : c.output) output.push_back(withRoot(part, install));
    expectInOrder(run.output, output);
    for (const std::string &part : c.errors)
        EXPECT_NE(std::string::npos, run.errors.find(withRoot(part, install))) << "stderr lacks: " << part << "\n"
                                                                               << run.errors;
    EXPECT_NE("", run.errors) << "the failure is named on stderr";

    EXPECT_EQ(std::vector<std::string>(), temporaryFilesBelow(install.root()));
    EXPECT_EQ(before, snapshotOf(install.root(), changes)) << "only the output and cache folders may change";
    // Whatever mesh file the run left is whole.
    std::error_code error;
    for (fs::recursive_directory_iterator it(install.root(), error), end; !error && it != end; it.increment(error)) {
        if (it->path().extension() != ".msh") continue;
        EXPECT_NO_THROW(readMeshFile(it->path().string())) << it->path();
    }
}

INSTANTIATE_TEST_SUITE_P(Tools, ToolFaults, ::testing::ValuesIn(faultCases()),
                         [](const ::testing::TestParamInfo<FaultCase> &info) { return info.param.title; });

// Two runs that need the same archived mesh at the same moment: each extracts it under a
// temporary name of its own, both make the same prop, and the cache keeps one whole copy.
TEST(ConcurrentRuns, extractTheSameEntryAndBothSucceed) {
    FakeInstall install;
    layGame(install);
    ScopedEnv seed("REELMARA_SEED", "7");
    const std::string cached = install.workFile("cache/data/meshes/p_crate.msh");
    for (int round = 0; round < 4; round++) {
        fs::remove_all(install.workFile("cache"));
        auto first = std::async(std::launch::async, [&] {
            return install.run("propcarver", {"-workdata", "one", "p_crate.msh", "crate", "-g", "0"});
        });
        ToolRun second = install.run("propcarver", {"-workdata", "two", "p_crate.msh", "crate", "-g", "0"});
        ToolRun one = first.get();
        expectToolRun(one, 0, {"Exported prop p_crate!\n"});
        EXPECT_EQ(one.output, second.output);
        EXPECT_EQ(0, second.status) << second.output << second.errors;
        EXPECT_EQ(install.readWorkFile("one/data/meshes/p_crate.msh"),
                  install.readWorkFile("two/data/meshes/p_crate.msh"));
        EXPECT_EQ(largeProp("crate"), readFileBytes(cached));
        EXPECT_EQ(std::vector<std::string>(), temporaryFilesBelow(install.root()));
    }
}

// The same changes to an archive, made between the catalogue and the extraction by the
// library's own caller (here, where no named pipe can hold a tool between the two).
TEST(ArchiveChanges, afterTheCatalogueAreRefusedAndNothingIsCached) {
    enum Change { TRUNCATED, REMOVED, REPLACED };
    for (Change change : {TRUNCATED, REMOVED, REPLACED}) {
        SCOPED_TRACE(change);
        TempFolder folder;
        folder.makeFolders("cache");
        std::string pak = crateArchive("crate").writeTo(folder.file("pak/base.pak"));
        std::unique_ptr<KxRlPakRegistry> registry(
            KxRlPakRegistry::CreateFromPath(folder.file("cache").c_str(), folder.file("pak").c_str()));
        ASSERT_EQ(1, registry->getPakCount());
        if (change == TRUNCATED) fs::resize_file(pak, fs::file_size(pak) - 100);
        if (change == REMOVED) fs::remove(pak);
        if (change == REPLACED) {
            PakWriter other;
            other.add("data\\textures\\", "a_longer_name_first.dds", std::string(300, 't'));
            other.add("data\\meshes\\", "p_crate.msh", largeProp("other"));
            other.writeTo(pak);
        }
        char path[KXRL_PATH_SIZE] = {};
        try {
            registry->getContent(path, "p_crate.msh", "data\\meshes\\", false);
            ADD_FAILURE() << "the changed archive was used";
        } catch (const IOException &e) {
            std::string text = e.getErrorString();
            EXPECT_EQ(0u, text.find("PAK archive " + folder.file("pak"))) << text;
            EXPECT_NE(std::string::npos, text.find("base.pak")) << text;
            const char *why = change == REMOVED ? "moved or removed" : "changed after it was read";
            EXPECT_NE(std::string::npos, text.find(why)) << text;
        }
        EXPECT_FALSE(fileExistsOnDisk(folder.file("cache/data/meshes/p_crate.msh")));
        EXPECT_EQ(std::vector<std::string>(), temporaryFilesBelow(folder.path()));
    }
}
