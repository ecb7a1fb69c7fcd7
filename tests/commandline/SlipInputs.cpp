#include "SlipInputs.h"

#include "MeshChecks.h"
#include "ScopedEnv.h"

#include <cstdio>
#include <gtest/gtest.h>

const std::array<float, 6> kModelBox = {-5, 0, 0, 6, 1, 2};

namespace {

std::string modelFile() {
    MshDescription d;
    d.flags[1] = 0x01;  // group names
    d.bitmaps = {"wood.dds"};
    d.materials = {mshMaterial(0)};
    MshGroup body;
    body.name = "body";
    body.meshes = {mshTriangles(0, {{-5, 0, 0}, {6, 0, 0}, {0, 1, 2}}, {0, 1, 2})};
    d.groups = {body};
    return bytesOf(buildMsh(d));
}

}  // namespace

std::string roomFile(const std::vector<std::array<float, 2>> &points, const std::string &global) {
    std::string text = "[global]\n" + global;
    char line[128];
    for (const auto &p : points) {
        std::snprintf(line, sizeof line, "[wall]\nx = %g\ny = %g\n", p[0], p[1]);
        text += line;
    }
    return text;
}

void layInputs(FakeInstall &install) {
    install.addGameFile("data/meshes/model.msh", modelFile());
    install.addGameFile("data/meshes/p_box.msh", modelFile());
    install.addRootFile("work/a.ini",
                        "set=041\r\n[0]\r\nname=p_box\r\nposition.x=0\r\nposition.y=0\r\nposition.z=0\r\nangle=0\r\n");
    install.addRootFile("work/room.ini", roomFile({{0, 0}, {4, 0}, {4, 4}, {0, 4}}));
}

void exportGltfModel(const FakeInstall &install) {
    ToolRun run = install.run("propbridge", {"export", "model.msh"});
    ASSERT_EQ(0, run.status) << run.output << run.errors;
}

ToolRun runSlip(const FakeInstall &install, const std::string &tool, const std::vector<std::string> &arguments) {
    if (tool != "dresscaster") return install.run(tool, arguments);
#ifndef _WIN32
    ScopedEnv home("HOME", install.root().c_str());
#endif
    return install.runByName(tool, arguments);
}
