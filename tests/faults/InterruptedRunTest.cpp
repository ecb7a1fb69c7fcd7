// A run that is interrupted while it writes: an export of a mesh of 2,500 separate objects
// (meshlister -xo, one file per object) ended by Ctrl-C, SIGTERM or SIGKILL half-way. Ctrl-C and
// SIGTERM leave no temporary file behind and the report file as it was; what a killed run leaves
// (it cannot tidy up) the next run that writes the same files removes. Every mesh file there is
// whole.

#include "MeshChecks.h"
#include "MshBuilder.h"
#include "ToolHarness.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

const int kObjects = 2500;

// One mesh of `count` (at most 2,500) triangles that share no corner and lie apart, 50 to a
// row: `count` separate objects.
std::string manyObjects(int count) {
    MshPoints points;
    std::vector<uint16_t> triangles;
    for (int i = 0; i < count; i++) {
        float x = -20 + static_cast<float>(i % 50) * 0.8f, y = -20 + static_cast<float>(i / 50) * 0.8f;
        points.push_back({x, y, 0});
        points.push_back({x + 0.3f, y, 0});
        points.push_back({x, y + 0.3f, 1});
        for (int k = 0; k < 3; k++) triangles.push_back(static_cast<uint16_t>(3 * i + k));
    }
    MshDescription d;
    d.bitmaps = {"crate.dds"};
    d.materials = {mshMaterial(0)};
    MshGroup group;
    group.meshes = {mshTriangles(0, points, triangles)};
    d.groups = {group};
    return bytesOf(buildMsh(d));
}

enum Ending { CTRL_C, TERMINATED, KILLED };

struct InterruptCase {
    const char *title;
    Ending ending;
};

void PrintTo(const InterruptCase &c, std::ostream *os) { *os << c.title; }

const char *const kOldReport = "The report of an earlier run\r\n";

// A report name no other process has on its command line: under Wine the run is found by it.
std::string uniqueReportName() {
    static std::atomic<unsigned> count{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    return "interrupted-" + std::to_string(stamp) + "-" + std::to_string(++count) + ".txt";
}

// Waits until the run has written `file` (below the work folder); false when it ended first or
// two minutes went by.
bool waitForFile(const FakeInstall &install, StartedTool &run, const std::string &file) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (std::chrono::steady_clock::now() < deadline) {
        if (install.workFileExists(file)) return true;
        if (!run.running()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

// Every mesh file below `folder` reads whole.
void expectWholeMeshFiles(const std::string &folder) {
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->path().extension() != ".msh") continue;
        EXPECT_NO_THROW(readMeshFile(it->path().string())) << it->path();
    }
}

class InterruptedRuns : public ::testing::TestWithParam<InterruptCase> {};

}  // namespace

TEST_P(InterruptedRuns, leaveNoTemporaryFileAndTheReportWholeOrAsItWas) {
    const InterruptCase &c = GetParam();
#ifdef _WIN32
    if (c.ending == TERMINATED) GTEST_SKIP() << "Windows has no SIGTERM; the console's Ctrl-C is its interruption";
#endif
    FakeInstall install;
    install.addGameFile("data/meshes/p_many.msh", manyObjects(kObjects));
    const std::string report = uniqueReportName();
    install.addRootFile("work/" + report, kOldReport);
    // The report name last: under Wine the run is found by it.
    const std::vector<std::string> arguments = {"-xo", "p_many.msh", "-r", report};

    std::unique_ptr<StartedTool> run = install.start("meshlister", arguments);
    ASSERT_TRUE(run) << "meshlister could not be started";
    // Some objects are written, most are still to come.
    ASSERT_TRUE(waitForFile(install, *run, "p_many/group00mesh00vertex0150.msh")) << run->wait().errors;
    ASSERT_TRUE(run->running()) << "the run ended before it could be interrupted";
    std::string why;
    if (c.ending == KILLED) {
        run->kill();
    } else if (!run->interrupt(&why, c.ending == TERMINATED ? SIGTERM : 0)) {
        GTEST_SKIP() << why;
    }
    ToolRun ended = run->wait();
    EXPECT_FALSE(install.workFileExists("p_many/group00mesh00vertex7497.msh")) << "the run was not interrupted";
#ifndef _WIN32
    int signal = c.ending == CTRL_C ? SIGINT : c.ending == TERMINATED ? SIGTERM : SIGKILL;
    EXPECT_EQ(128 + signal, ended.status) << "the run ends as the signal ends it";
#endif
    expectWholeMeshFiles(install.workFolder());

    if (c.ending != KILLED) {
        EXPECT_EQ(std::vector<std::string>(), temporaryFilesBelow(install.root()));
        EXPECT_EQ(kOldReport, install.readWorkFile(report));
        return;
    }
    // A killed run cannot tidy up; the next run that writes the same files removes what it left.
    ToolRun again = install.run("meshlister", arguments);
    expectToolRun(again, 0, {"Exporting prop for isolated object (group 0, mesh 0, vertex 7497)...\n"});
    EXPECT_EQ(std::vector<std::string>(), temporaryFilesBelow(install.root()));
    EXPECT_NE(std::string::npos, install.readWorkFile(report).find("FILE p_many.msh:"));
    EXPECT_TRUE(install.workFileExists("p_many/group00mesh00vertex7497.msh"));
}

INSTANTIATE_TEST_SUITE_P(Meshlister, InterruptedRuns,
                         ::testing::Values(InterruptCase{"ctrlC", CTRL_C}, InterruptCase{"sigterm", TERMINATED},
                                           InterruptCase{"killed", KILLED}),
                         [](const ::testing::TestParamInfo<InterruptCase> &info) { return info.param.title; });
