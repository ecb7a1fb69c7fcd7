#ifndef KX_TESTS_FRAMETESTSUPPORT_H
#define KX_TESTS_FRAMETESTSUPPORT_H

#include "ScopedEnv.h"
#include "ScopedGameFolder.h"
#include "TempFolder.h"
#include "ToolFrame.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

// Each case runs in a fresh temporary folder (the current folder while it runs) with a game
// folder of its own below it, the pauses skipped and the frame's values reset.
class FrameTest : public ::testing::Test {
protected:
    FrameTest() : noPause("REELMARA_NO_PAUSE", "1"), inWork(work.path()) {}

    void SetUp() override {
        work.makeFolders("game/data/pak");
        installGame(work.file("game"));
        resetToolFrame();
    }
    void TearDown() override { resetToolFrame(); }

    // "" uninstalls the game.
    void installGame(const std::string &folder) {
        game.reset();
        game.reset(new ScopedGameFolder(folder));
    }

    TempFolder work;
    ScopedEnv noPause;
    ScopedCurrentFolder inWork;
    std::unique_ptr<ScopedGameFolder> game;
};

// Settings of a tool for the frame's tests; the fields are changed per case.
inline ToolSettings testSettings() {
    return ToolSettings{"testtool", "Usage: testtool things\n", 1, true, NEWDATA_FAILURE_REPORTED, true, false};
}

#endif
