// meshlister end to end: the program runs as a process in a fake installation.

#include "DeskFile.h"
#include "KxRlMesh.h"
#include "KxRlMeshFile.h"
#include "KxRlMeshGroup.h"
#include "MshBuilder.h"
#include "PakWriter.h"
#include "ToolHarness.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

const std::string kRule70(70, '=');

std::string reportOf(const FakeInstall &install, const std::string &name = "meshlister.txt") {
    return install.readWorkFile(name);
}

}  // namespace

TEST(Meshlister, printsItsHelpWithoutArgumentsAndCreatesNothing) {
    FakeInstall install;
    ToolRun run = install.run("meshlister", {});
    EXPECT_EQ(0, run.status);
    EXPECT_EQ(0u, run.output.find("Usage: meshlister [GlobalOptions] MshFile(s)...\n"
                                  "All reports are appended to the same output file.\n"));
    EXPECT_NE(std::string::npos, run.output.find("      3)  The game's PAK files.\n"));
    EXPECT_EQ(std::string::npos, run.output.find("Initializing"));
    EXPECT_FALSE(install.workFileExists("content"));
    EXPECT_FALSE(install.workFileExists("cache"));
    EXPECT_FALSE(install.workFileExists("meshlister.txt"));

    ToolRun version = install.run("meshlister", {"--version"});
    EXPECT_EQ(0, version.status);
    EXPECT_EQ(0u, version.output.find("meshlister "));
    ToolRun help = install.run("meshlister", {"--help"});
    EXPECT_EQ(0, help.status);
    EXPECT_EQ(run.output, help.output);
}

TEST(Meshlister, reportsFilesFromEverySourceInSearchOrder) {
    FakeInstall install;
    install.addRootFile("mods1/data/meshes/a.msh", deskFile("from-mods1"));
    install.addRootFile("mods2/data/meshes/a.msh", deskFile("from-mods2"));
    install.addRootFile("mods2/data/meshes/b.msh", deskFile("from-mods2"));
    install.addContentFile("data/meshes/b.msh", deskFile("from-content"));
    install.addContentFile("data/meshes/c.msh", deskFile("from-content"));
    install.addGameFile("data/meshes/c.msh", deskFile("from-game"));
    install.addGameFile("data/meshes/D.MSH", deskFile("from-game"));
    PakWriter pak;
    pak.add("data\\meshes\\", "D.MSH", deskFile("from-pak"), PakWriter::COMPRESSED);
    pak.add("data\\meshes\\", "e.msh", deskFile("from-pak"), PakWriter::COMPRESSED);
    install.addPak("base.pak", pak);

    ToolRun run = install.run("meshlister", {"-newdata", install.root() + "/mods1", "-newdata",
                                             install.root() + "/mods2", "a.msh", "b.msh", "c.msh", "d.msh", "e.msh"});
    EXPECT_EQ(0, run.status) << run.output;
    EXPECT_EQ("Initializing random number generator...\nInitializing Reelmara content registry...\n", run.output);
    std::string report = withoutCarriageReturns(reportOf(install));
    const char *expected[][2] = {{"a.msh", "from-mods1"},
                                 {"b.msh", "from-mods2"},
                                 {"c.msh", "from-content"},
                                 {"d.msh", "from-game"},
                                 {"e.msh", "from-pak"}};
    size_t at = 0;
    for (const auto &e : expected) {
        std::string head = kRule70 + "\n\nFILE " + e[0] + ":\n\n3D Co-ordinate Range :\n";
        size_t found = report.find(head, at);
        ASSERT_NE(std::string::npos, found) << e[0];
        size_t group = report.find("GROUP #0 : \"", found);
        ASSERT_NE(std::string::npos, group);
        EXPECT_EQ(std::string("GROUP #0 : \"") + e[1] + "\"", report.substr(group, 13 + std::strlen(e[1])));
        at = group;
    }
    EXPECT_TRUE(install.workFileExists("cache/data/meshes/e.msh"));  // extracted from the archive
    EXPECT_NE(std::string::npos, reportOf(install).find("\r\n"));   // a text file with CR LF lines
}

// An archive of 2 GiB up to 4 GiB is read like any other: its catalogue and entries past
// 2 GiB are found, and the loose files beside it stay usable.
TEST(Meshlister, readsMeshesStoredPast2GiBOfAnArchive) {
    FakeInstall install;
    install.addGameFile("data/meshes/loose.msh", deskFile("loose"));
    PakWriter pak;
    pak.add("data\\meshes\\", "far.msh", deskFile("far"), PakWriter::COMPRESSED);
    pak.add("data\\meshes\\", "stored.msh", deskFile("stored"));
    std::string whyNot;
    if (!pak.writeSparseTo(install.gameFolder() + "/data/pak/big.pak", 0x90000000u, &whyNot)) GTEST_SKIP() << whyNot;

    ToolRun run = install.run("meshlister", {"loose.msh", "far.msh", "stored.msh"});
    EXPECT_EQ(0, run.status) << run.output << run.errors;
    std::string report = withoutCarriageReturns(reportOf(install));
    for (const char *name : {"loose", "far", "stored"})
        EXPECT_NE(std::string::npos, report.find(std::string("GROUP #0 : \"") + name + "\"")) << name;
}

TEST(Meshlister, reportsWhatItCannotLoadAndGoesOn) {
    FakeInstall install;
    install.addGameFile("data/meshes/desk.msh", deskFile());
    install.addGameFile("data/meshes/broken.msh", deskFile().substr(0, 40));
    ToolRun run = install.run("meshlister", {"missing.msh", "broken.msh", "desk.msh"});
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos, run.output.find("Could not load mesh file missing.msh\n"));
    EXPECT_NE(std::string::npos, run.output.find("Could not load mesh file broken.msh\n"));
    std::string report = withoutCarriageReturns(reportOf(install));
    EXPECT_EQ(std::string::npos, report.find("missing.msh"));
    EXPECT_EQ(0u, report.find(kRule70 + "\n\nFILE desk.msh:\n\n"));
}

TEST(Meshlister, listsMeshesMadeOfSeveralObjects) {
    FakeInstall install;
    install.addGameFile("data/meshes/desk.msh", deskFile());
    ToolRun run = install.run("meshlister", {"desk.msh", "-r", "desk-report.txt"});
    EXPECT_EQ(0, run.status) << run.output;
    std::string report = withoutCarriageReturns(reportOf(install, "desk-report.txt"));
    EXPECT_NE(std::string::npos,
              report.find("\n\nGroup #0, Mesh #0: Has multiple 3D objects!\n  Traverse the following vertices: 0 3 6 \n\n"));
    EXPECT_EQ(std::string::npos, report.find("Mesh #1: Has multiple"));  // joined by a shared position
    EXPECT_FALSE(install.workFileExists("meshlister.txt"));
}

TEST(Meshlister, exportsEveryMeshAndEveryObject) {
    FakeInstall install;
    install.addContentFile("data/meshes/desk.msh", deskFile());
    ToolRun run = install.run("meshlister", {"-xm", "-xo", "desk.msh"});
    EXPECT_EQ(0, run.status) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("Exporting prop for full mesh (group 0, mesh 0)...\n"
                                                 "Exporting prop for full mesh (group 0, mesh 1)...\n"
                                                 "Exporting prop for isolated object (group 0, mesh 0, vertex 0)...\n"
                                                 "Exporting prop for isolated object (group 0, mesh 0, vertex 3)...\n"
                                                 "Exporting prop for isolated object (group 0, mesh 0, vertex 6)...\n"));

    std::unique_ptr<KxRlMeshFile> whole(KxRlMeshFile::CreateFromFile(install.workFile("desk/group00mesh00.msh").c_str()));
    ASSERT_EQ(1, whole->getMeshGroupCount());
    ASSERT_EQ(1, whole->getMeshCount(0));
    EXPECT_EQ(9, whole->getMesh(0, 0)->getVertexCount());
    EXPECT_EQ(9, whole->getMesh(0, 0)->getIndexCount());
    std::unique_ptr<KxRlMeshFile> second(KxRlMeshFile::CreateFromFile(install.workFile("desk/group00mesh01.msh").c_str()));
    EXPECT_EQ(6, second->getMesh(0, 0)->getVertexCount());

    const float lows[] = {0, 4, 8};
    const char *names[] = {"desk/group00mesh00vertex0000.msh", "desk/group00mesh00vertex0003.msh",
                           "desk/group00mesh00vertex0006.msh"};
    for (int i = 0; i < 3; i++) {
        std::unique_ptr<KxRlMeshFile> object(KxRlMeshFile::CreateFromFile(install.workFile(names[i]).c_str()));
        KxRlMesh *mesh = object->getMesh(0, 0);
        ASSERT_EQ(3, mesh->getVertexCount()) << names[i];
        ASSERT_EQ(3, mesh->getIndexCount());
        EXPECT_NEAR(lows[i], mesh->getMinX(), 1e-3);
        EXPECT_NEAR(lows[i] + 1, mesh->getMaxX(), 1e-3);
        EXPECT_NEAR(lows[i], mesh->getVertexList()[0].position.x, 1e-3);
    }
    EXPECT_FALSE(install.workFileExists("desk/group00mesh01vertex0000.msh"));
}

TEST(Meshlister, takesOptionWordsWhereAValueIsExpected) {
    FakeInstall install;
    install.addRootFile("mods/data/meshes/desk.msh", deskFile("modded"));
    ToolRun run =
        install.run("meshlister", {"-newdata", "-xo", install.root() + "/mods", "-r", "-xm", "r.txt", "desk.msh"});
    EXPECT_EQ(0, run.status) << run.output;
    EXPECT_NE(std::string::npos, withoutCarriageReturns(reportOf(install, "r.txt")).find("\"modded\""));
    EXPECT_TRUE(install.workFileExists("desk/group00mesh00.msh"));  // -xm, given last, counts
    EXPECT_FALSE(install.workFileExists("desk/group00mesh00vertex0003.msh"));
}

TEST(Meshlister, exportsNamesWithFolderPartsIntoNewFolders) {
    FakeInstall install;
    install.addGameFile("data/meshes/props/desk.msh", deskFile());
    ToolRun run = install.run("meshlister", {"-xm", "props/desk.msh"});
    EXPECT_EQ(0, run.status) << run.output;
    EXPECT_TRUE(install.workFileExists("props/desk/group00mesh01.msh"));
}

TEST(Meshlister, endsWithAnErrorWhenItsSourcesCannotBeRead) {
    {
        FakeInstall install;
        ToolRun run = install.run("meshlister", {"-newdata", install.root() + "/nowhere", "desk.msh"});
        EXPECT_EQ(1, run.status);
        EXPECT_NE(std::string::npos, run.output.find("Error : Path is not valid!\n"));
        EXPECT_FALSE(install.workFileExists("meshlister.txt"));
    }
    {
        FakeInstall notInstalled(false);
        ToolRun run = notInstalled.run("meshlister", {"desk.msh"});
        EXPECT_EQ(1, run.status);
        EXPECT_NE(std::string::npos, run.output.find("Error : Reelmara is not installed!\n"));
    }
    {
        FakeInstall install;
        install.addGameFile("data/meshes/desk.msh", deskFile());
        ToolRun run = install.run("meshlister", {"-r", "no-such-folder/report.txt", "desk.msh"});
        EXPECT_EQ(1, run.status);
        EXPECT_NE(std::string::npos, run.output.find("An error occurred attempting to write to the output file!\n"));
    }
    {
        FakeInstall install;
        ToolRun run = install.run("meshlister", {"-xm"});  // only options: an empty report
        EXPECT_EQ(0, run.status);
        EXPECT_TRUE(install.workFileExists("meshlister.txt"));
        EXPECT_EQ("", reportOf(install));
    }
}
