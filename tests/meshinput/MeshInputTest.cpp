// The input mesh of meshlister, propcarver, propbender and propbridge named by its path on disk,
// and a pattern given to the tools that read one input.

#include "MeshChecks.h"
#include "MshBuilder.h"
#include "ToolHarness.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A one-triangle mesh whose texture name tells the copies apart in every output: the reports,
// the MSH files and the glTF models all name it.
std::string markedMesh(const std::string &texture) {
    MshDescription d;
    d.bitmaps = {texture};
    d.materials = {mshMaterial(0)};
    MshGroup group;
    group.meshes.push_back(mshTriangles(0, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 2}));
    d.groups = {group};
    return bytesOf(buildMsh(d));
}

enum Naming { RELATIVE, ABSOLUTE, SEARCHED };

struct ToolCase {
    const char *tool;
    std::vector<std::string> arguments;  // "NAME" stands for the mesh name
    const char *fromDisk;                // the output when the file on disk is read
    const char *fromSearch;              // the output when a source has the name
};

const ToolCase kTools[] = {
    {"meshlister", {"-xm", "NAME"}, "copy/group00mesh00.msh", "exports/copy/group00mesh00.msh"},
    {"propcarver", {"NAME", "carved", "-g", "0"}, "p_carved/data/meshes/p_carved.msh",
     "p_carved/data/meshes/p_carved.msh"},
    {"propbender", {"NAME", "bent"}, "p_bent/data/meshes/p_bent.msh", "p_bent/data/meshes/p_bent.msh"},
    {"propbridge", {"export", "NAME"}, "copy.gltf", "exports/copy.gltf"},
};

struct PathCase {
    ToolCase tool;
    Naming naming;
};

std::vector<PathCase> pathCases() {
    std::vector<PathCase> cases;
    for (const ToolCase &tool : kTools)
        for (Naming naming : {RELATIVE, ABSOLUTE, SEARCHED}) cases.push_back({tool, naming});
    return cases;
}

class MeshByPath : public ::testing::TestWithParam<PathCase> {};

// A name that no source has is read from disk, relative or absolute, and its exports are named
// after the file alone; a name that a source has is still the source's file.
TEST_P(MeshByPath, readsTheFileOnDiskOnlyWhenNoSourceHasTheName) {
    const PathCase &c = GetParam();
    FakeInstall install;
    install.addRootFile("work/exports/copy.msh", markedMesh("on_disk.dds"));
    if (c.naming == SEARCHED) install.addGameFile("data/meshes/exports/copy.msh", markedMesh("in_game.dds"));
    std::string name = c.naming == ABSOLUTE ? install.workFile("exports/copy.msh") : "exports/copy.msh";
    std::vector<std::string> arguments = c.tool.arguments;
    for (std::string &argument : arguments)
        if (argument == "NAME") argument = name;

    ToolRun run = install.run(c.tool.tool, arguments);
    expectToolRun(run, 0, {});
    std::string output = install.readWorkFile(c.naming == SEARCHED ? c.tool.fromSearch : c.tool.fromDisk);
    EXPECT_NE(std::string::npos, output.find(c.naming == SEARCHED ? "in_game.dds" : "on_disk.dds")) << run.errors;
    EXPECT_EQ(std::string::npos, output.find(c.naming == SEARCHED ? "on_disk.dds" : "in_game.dds"));
    if (c.naming == SEARCHED) {
        EXPECT_EQ("", run.errors);
    } else {
        // Standard error says which file was read, and that no source had it.
        expectInOrder(run.errors, {name + ": not found in data\\meshes\\", "read the file ", "copy.msh"});
    }
}

std::string pathCaseName(const ::testing::TestParamInfo<PathCase> &info) {
    static const char *const kNaming[] = {"relative", "absolute", "searched"};
    return std::string(info.param.tool.tool) + "_" + kNaming[info.param.naming];
}

INSTANTIATE_TEST_SUITE_P(Tools, MeshByPath, ::testing::ValuesIn(pathCases()), pathCaseName);

TEST(MeshlisterExportFolder, putsTheExportsBelowTheFolderOfOptionO) {
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::vector<std::string> written;
    } cases[] = {
        {{"-xm", "-o", "out/here", "exports/copy.msh"}, 0, {"out/here/copy/group00mesh00.msh"}},
        {{"-o", "out", "-xm", "props/desk.msh", "/p_lamp.msh"}, 0,
         {"out/props/desk/group00mesh00.msh", "out/p_lamp/group00mesh00.msh"}},
        // A ".." part is not looked for in the sources, but the file it names is read; its
        // exports stay below the current folder.
        {{"-xm", "../above.msh"}, 0, {"above/group00mesh00.msh"}},
        {{"-xm", "props/desk.msh", "-o"}, 2, {}},
    };
    for (const auto &c : cases) {
        FakeInstall install;
        install.addRootFile("work/exports/copy.msh", markedMesh("on_disk.dds"));
        install.addGameFile("data/meshes/props/desk.msh", markedMesh("desk.dds"));
        install.addGameFile("data/meshes/p_lamp.msh", markedMesh("lamp.dds"));
        install.addRootFile("above.msh", markedMesh("above.dds"));
        ToolRun run = install.run("meshlister", c.arguments);
        EXPECT_EQ(c.status, run.status) << run.output << run.errors;
        for (const std::string &file : c.written) EXPECT_TRUE(install.workFileExists(file)) << file;
        if (c.status == 2) {
            EXPECT_FALSE(install.workFileExists("meshlister.txt"));
            EXPECT_NE(std::string::npos, run.errors.find("-o"));
        }
        EXPECT_FALSE(install.workFileExists("copy") || install.workFileExists("props") ||
                     install.workFileExists("p_lamp") || fileExistsOnDisk(install.root() + "/above"));
    }
}

// propcarver and propbender carve one input: a pattern naming one mesh file is that file, one
// naming several is refused with the matches listed, and nothing is written.
TEST(OneInputPattern, namesExactlyOneMeshFileOrIsRefused) {
    const struct {
        const char *tool, *pattern;
        int status;
        std::vector<std::string> stdoutTexts, stderrTexts;
    } cases[] = {
        {"propcarver", "p_one*.msh", 0, {"Exported prop p_out!\n"}, {}},
        {"propbender", "P_ONE?.MSH", 0, {"Exported prop p_out!\n"}, {}},
        {"propcarver", "p_two*.msh", 1, {"Error : Input mesh file name matches several mesh files!\n"},
         {"p_two*.msh: the pattern names 2 mesh files", "p_two_a.msh, p_two_b.msh"}},
        {"propbender", "p_two_?.msh", 1, {"Error : Input mesh file name matches several mesh files!\n"},
         {"p_two_?.msh: the pattern names 2 mesh files", "p_two_a.msh, p_two_b.msh"}},
        {"propcarver", "p_none*.msh", 1, {"Error : Could not find input mesh file!\n"}, {"no mesh file matches"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.tool) + " " + c.pattern);
        FakeInstall install;
        install.addGameFile("data/meshes/p_one1.msh", markedMesh("one.dds"));
        install.addGameFile("data/meshes/p_two_a.msh", markedMesh("a.dds"));
        PakWriter pak;
        pak.add("data\\meshes\\", "p_two_b.msh", markedMesh("b.dds"), PakWriter::COMPRESSED);
        install.addPak("base.pak", pak);
        std::vector<std::string> arguments = {c.pattern, "out"};
        if (std::string(c.tool) == "propcarver") arguments.insert(arguments.end(), {"-g", "0"});
        ToolRun run = install.run(c.tool, arguments);
        expectToolRun(run, c.status, c.stdoutTexts);
        expectInOrder(run.errors, c.stderrTexts);
        EXPECT_EQ(c.status == 0, install.workFileExists("p_out/data/meshes/p_out.msh"));
        if (c.status == 0) {
            EXPECT_NE(std::string::npos, install.readWorkFile("p_out/data/meshes/p_out.msh").find("one.dds"));
        } else {
            EXPECT_FALSE(install.workFileExists("p_out"));
        }
    }
}

}  // namespace
