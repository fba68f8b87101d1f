// The replay runner end to end, headless: a replay pressing Enter on the title gets a frame-exact
// report of the fade and the hand-over, and the log of the run.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "support/game_run.h"
#include "support/stage_files.h"
#include "support/start_content.h"

using namespace testing_support;

namespace {

std::string RunReplay(const std::string& replayText, int& status) {
    std::ofstream("run.replay") << replayText;
    std::string command = std::string(REPLAY_BINARY) + " run.replay 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    size_t n;
    while (pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    status = pipe ? pclose(pipe) : -1;
    return out;
}

TEST(ReplayRunner, ReportsTheTitleHandOverFrameByFrame) {
    TempFolder folder;
    WriteSmallStage();  // the start content, and a stage for the load after the title
    int status = 0;
    std::string out = RunReplay(
        "answer no\n"
        "at 10 hold enter\n"
        "print at 0 11 137 138 139\n"
        "frames 150\n",
        status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("frame 0 scene title stage 1 fade 0 speed 0 colour 0,0,0\n"), std::string::npos) << out;
    EXPECT_NE(out.find("frame 11 scene title stage 1 fade 2 speed 2 colour 255,255,255\n"), std::string::npos) << out;
    EXPECT_NE(out.find("frame 137 scene title stage 1 fade 254 "), std::string::npos) << out;
    EXPECT_NE(out.find("frame 138 scene title stage 1 fade 255 "), std::string::npos) << out;
    EXPECT_NE(out.find("frame 139 scene load stage 1 fade 255 "), std::string::npos) << out;
    EXPECT_NE(out.find("end frames 150 exit 0"), std::string::npos) << out;
    EXPECT_NE(out.find(" ||  正常終了\n"), std::string::npos) << out;
}

TEST(ReplayRunner, RefusesABrokenReplayWithItsLine) {
    TempFolder folder;
    int status = 0;
    std::string out = RunReplay("frames 10\nat 3 hold ctrl\n", status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("line 2: unknown key 'ctrl'"), std::string::npos) << out;
}

}  // namespace
