// A written file is complete or not there: failed exports leave no partial file and keep an
// earlier file at the same path as it was.

#include "RebuiltPropTestSupport.h"

#include "IOException.h"
#include "KxRlMeshGroupRef.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

std::string exportError(KxRlRebuiltProp &prop, const std::string &path) {
    try {
        prop.exportMesh(path.c_str());
    } catch (const IOException &e) {
        return e.getErrorString();
    }
    return "";
}

}  // namespace

TEST(RebuiltPropFile, failedExportKeepsTheEarlierFileAndLeavesNoPart) {
    WriterFiles files;
    KxRlMeshFile *source = files.load(oneGroupFile({plainMesh(flatTriangle(0), {0, 1, 2})}));
    std::string path = files.path("prop.msh");
    files.folder.write("prop.msh", std::string("earlier"));

    // 64 references with four texture overrides each: 256 textures, one more than a file holds.
    KxRlRebuiltProp prop;
    std::vector<std::string> names;
    for (int i = 0; i < 256; i++) names.push_back("tex" + std::to_string(i) + ".dds");
    for (int r = 0; r < 64; r++) {
        KxRlMeshGroupRef *ref = new KxRlMeshGroupRef(source, 0);
        for (int slot = 0; slot < 4; slot++) ref->setBitmap(0, slot, names[4 * r + slot].c_str());
        prop.addMeshGroupRef(ref);
    }
    EXPECT_NE(std::string::npos, exportError(prop, path).find("Too many textures"));
    EXPECT_EQ("earlier", readFileBytes(path));
    EXPECT_TRUE(temporaryFilesBelow(files.folder.path()).empty());

    // With one reference fewer the same prop fits, and the export replaces the earlier file.
    delete prop.removeMeshGroupRef(63);
    std::unique_ptr<KxRlMeshFile> out = files.exportAndRead(prop, "prop.msh");
    EXPECT_EQ(252, out->getBitmapCount());
    EXPECT_EQ(63, out->getMeshGroupCount());
    EXPECT_TRUE(temporaryFilesBelow(files.folder.path()).empty());
}

TEST(RebuiltPropFile, unwritablePathsAreReported) {
    WriterFiles files;
    KxRlMeshFile *source = files.load(oneGroupFile({plainMesh(flatTriangle(0), {0, 1, 2})}));
    KxRlRebuiltProp prop;
    prop.addMeshGroupRef(new KxRlMeshGroupRef(source, 0));

    EXPECT_EQ("File could not be opened", exportError(prop, files.path("missing/prop.msh")));

    // A folder in the way of the finished file: the rename fails and the temporary goes.
    files.folder.makeFolders("taken.msh");
    std::string taken = files.path("taken.msh");
    EXPECT_NE(std::string::npos, exportError(prop, taken).find(taken));
    EXPECT_TRUE(temporaryFilesBelow(files.folder.path()).empty());

    // A read-only file is refused on every platform (a rename would replace it on POSIX),
    // whoever runs the tool.
    std::string locked = files.folder.write("locked.msh", std::string("keep"));
    std::filesystem::permissions(locked, std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                             std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_EQ("File could not be opened", exportError(prop, locked));
    std::filesystem::permissions(locked, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    EXPECT_EQ("keep", readFileBytes(locked));
    EXPECT_TRUE(temporaryFilesBelow(files.folder.path()).empty());

    std::string longPath = files.path(std::string(300, 'x') + ".msh");
    std::string error = exportError(prop, longPath);
    EXPECT_NE(std::string::npos, error.find("exceeds 255 characters"));
    EXPECT_NE(std::string::npos, error.find(longPath));

    // The prop is still whole after the failures.
    EXPECT_EQ(1, files.exportAndRead(prop)->getMeshGroupCount());
}
