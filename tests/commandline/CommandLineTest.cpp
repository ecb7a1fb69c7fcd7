// The command line of every program, end to end: the help and version flags, options cut
// short by an option word, and propbridge's own slips.

#include "MeshChecks.h"
#include "SlipInputs.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// -h, -help, --help and -? alone print the help, --version the version line; status 0, and
// nothing is made (no content or cache folder, no folder named after the flag).
TEST(CommandLine, everyProgramAnswersTheHelpAndVersionFlags) {
    const struct {
        const char *program;
        const char *helpStart;
    } programs[] = {
        {"meshlister", "Usage: meshlister [GlobalOptions]"},
        {"propcarver", "Usage: propcarver [GlobalOptions]"},
        {"propbender", "Usage: propbender [GlobalOptions]"},
        {"dresscaster", "Usage:  dresscaster [GlobalOptions]"},
        {"roomwright", "Usage:  roomwright [GlobalOptions]"},
        {"propbridge", "Usage: propbridge export [GlobalOptions]"},
        {"make_example_game", "Usage: make_example_game <folder>\n"},
        {"msh_preview", "Usage: msh_preview [-view angled|above|front]"},
        {"wall_preview", "Usage: wall_preview [options]"},
    };
    FakeInstall install;
    for (const auto &p : programs) {
        for (const char *flag : {"-h", "-help", "--help", "-?", "--version"}) {
            SCOPED_TRACE(std::string(p.program) + " " + flag);
            ToolRun run = runSlip(install, p.program, {flag});
            EXPECT_EQ(0, run.status) << run.output << run.errors;
            const std::string expected = std::string(flag) == "--version"
                                             ? std::string(p.program) + " " + KX_SUITE_VERSION + " (Reelmara prop tools)\n"
                                             : std::string(p.helpStart);
            EXPECT_EQ(0u, run.output.find(expected)) << run.output;
            EXPECT_EQ("", run.errors);
        }
    }
    for (const char *made : {"content", "cache", "-h", "-help", "--help", "-?", "--version"})
        EXPECT_FALSE(install.workFileExists(made)) << made;
}

// An option that gets fewer values than it takes because an option word follows goes
// without them: the rest of the run is done, the stderr line names the option and that word,
// and the status is 1.
TEST(CommandLine, anOptionCutShortByAnOptionWordIsAnError) {
    const std::array<float, 6> turned = {-1, -5, 0, 0, 6, 2};  // the model a quarter turn about Z
    const struct {
        const char *tool;
        std::vector<std::string> arguments;
        std::string stderrLine;  // after "<tool>: "
        std::string written;     // a file the rest of the run writes
    } cases[] = {
        {"propcarver", {"model.msh", "x", "-g", "0", "-cp", "1", "2", "-rpz", "90"},
         "-cp: the option got 2 of its values before the option -rpz came", "p_x/data/meshes/p_x.msh"},
        {"propbender", {"model.msh", "x", "-c", "1", "2", "-rz", "90"},
         "-c: the option got 2 of its values before the option -rz came", "p_x/data/meshes/p_x.msh"},
        {"roomwright", {"room.ini", "-c", "1", "2", "-rz", "90"},
         "-c: the option got 2 of its values before the option -rz came", "room/data/meshes/p_room.msh"},
        {"roomwright", {"-propname", "-cat", "5", "room.ini"},
         "-propname: the option got 0 of its values before the option -cat came", "room/data/meshes/p_room.msh"},
        {"dresscaster", {"a.ini", "-propname", "-cat", "3"},
         "-propname: the option got 0 of its values before the option -cat came", "a/data/meshes/p_a.msh"},
        {"propbridge", {"import", "model.gltf", "y", "-s", "-cat", "3"},
         "-s: the option got 0 of its values before the option -cat came", "p_y/data/meshes/p_y.msh"},
        {"propbridge", {"export", "model.msh", "-o", "-glb"},
         "-o: the option got 0 of its values before the option -glb came", "model.glb"},
        {"meshlister", {"-r", "-newdata", "../mods", "model.msh"},
         "-r: the option got 0 of its values before the option -newdata came", "meshlister.txt"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.tool) + " " + c.stderrLine);
        FakeInstall install;
        layInputs(install);
        install.addRootFile("mods/data/meshes/other.msh", install.readWorkFile("../game/data/meshes/model.msh"));
        if (c.arguments[0] == "import") exportGltfModel(install);
        ToolRun run = runSlip(install, c.tool, c.arguments);
        EXPECT_EQ(1, run.status) << run.output << run.errors;
        EXPECT_NE(std::string::npos, run.errors.find(std::string(c.tool) + ": " + c.stderrLine)) << run.errors;
        EXPECT_TRUE(install.workFileExists(c.written)) << run.output << run.errors;
        if (std::string(c.tool) == "propcarver" || std::string(c.tool) == "propbender")
            expectBox(*readMeshFile(install.workFile(c.written)), 0, 0, 3, turned);  // -r.z 90 was done
    }
}

// propbridge says on standard output what is wrong with its own command line, then prints
// its help; status 2 and nothing written, not even the -workdata folder.
TEST(CommandLine, propbridgeNamesItsOwnSlips) {
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"exprot", "model.msh"}, "Unknown command exprot: the first word is export or import.\n"},
        {{"exprot"}, "Unknown command exprot: the first word is export or import.\n"},
        {{"import", "model.gltf"}, "No prop name given: import needs PropName after the glTF model.\n"},
        {{"import", "-cat", "3"}, "No glTF model given: import needs Model.gltf (or Model.glb) and PropName.\n"},
        {{"export", "-glb"}, "No mesh file given: export needs at least one MshFile.\n"},
        {{"export", "model.msh", "-o", "out", "-workdata", "work"},
         "-o and -workdata both name the output folder: give only one of them.\n"},
        {{"export", "-workdata", "work", "model.msh", "-o", "out"},
         "-o and -workdata both name the output folder: give only one of them.\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments[0] + " " + c.message);
        FakeInstall install;
        layInputs(install);
        ToolRun run = install.run("propbridge", c.arguments);
        EXPECT_EQ(2, run.status) << run.output << run.errors;
        EXPECT_EQ(kToolStartUp + c.message + "Usage: propbridge",
                  run.output.substr(0, kToolStartUp.size() + c.message.size() + 17));
        EXPECT_NE("", run.errors);
        for (const char *made : {"out", "work", "model.gltf", "model.glb", "p_model.gltf"})
            EXPECT_FALSE(install.workFileExists(made)) << made;
    }
}

}  // namespace
