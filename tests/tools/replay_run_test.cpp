// The replay runner end to end, headless: a replay pressing Enter on the title gets a frame-exact
// report of the fade and the hand-over, and the log of the run.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <string>

#include "support/game_run.h"
#include "support/stage_files.h"
#include "support/start_content.h"

using namespace testing_support;

namespace {

// Each run in a temporary folder with the start content and stage 1 of the small stage.
class ReplayRunner : public ::testing::Test {
protected:
    void SetUp() override { WriteSmallStage(); }
    std::string Run(const std::string& replayText) {
        std::ofstream("run.replay") << replayText;
        std::FILE* pipe = popen((std::string(REPLAY_BINARY) + " run.replay 2>&1").c_str(), "r");
        std::string out;
        char buffer[4096];
        size_t n;
        while (pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        status = pipe ? pclose(pipe) : -1;
        return out;
    }
    TempFolder folder;
    int status = 0;
};

// `out` holds each of `lines`.
void ExpectLines(const std::string& out, std::initializer_list<std::string> lines) {
    for (const std::string& line : lines) EXPECT_NE(out.find(line), std::string::npos) << line << "\nnot in:\n" << out;
}

const std::string kQuestion = "start box caption \"確認\" text \"フルスクリーンで起動しますか？\" style 0x4 answer 7\n";

// The title's fade and hand-over frame by frame, the sound and the boxes in the frames they happen in;
// the stage list names a file that is not there, so the load in frame 139 fails.
TEST_F(ReplayRunner, ReportsTheTitleHandOverSoundsAndBoxesFrameByFrame) {
    WriteStageList("nothing.txt\n");
    std::string out = Run("answer no\nat 10 hold enter\nprint at 0 11 137 138 139\nframes 300\n");
    EXPECT_NE(status, 0) << out;
    ExpectLines(out, {kQuestion, "frame 0 scene title stage 1 fade 0 speed 0 colour 0,0,0\n",
                      "frame 10 sound play cursor37.wav volume -1000 flags 0\n",
                      "frame 11 scene title stage 1 fade 2 speed 2 colour 255,255,255\n",
                      "frame 137 scene title stage 1 fade 254 ", "frame 138 scene title stage 1 fade 255 ",
                      "frame 139 scene load stage 1 fade 255 ",
                      "frame 139 box caption \"エラー\" text \"ファイル「data/nothing.txt」が読み込めませんでした\" "
                      "style 0x0 answer 1\n"});
}

TEST_F(ReplayRunner, StartsOnAStageAndListsItsObjectsAndThePlayer) {
    WriteStageList("nothing.txt\nstage1.txt\n");
    std::string out = Run("stage 2\nprint at 0 1\nobjects at 1\nframes 5\n");
    EXPECT_EQ(status, 0) << out;
    // No full-screen question is left for the replay to answer, and the title never runs. The game scene
    // comes out of white: 255 on entry, one step of -5 by the end of frame 0.
    ExpectLines(out, {kQuestion, "frame 0 scene load stage 2 fade 0 ",
                      "frame 1 scene game stage 2 fade 250 speed -5 colour 255,255,255\n",
                      "player pos 0.0000,12.0000,-40.0000 vel 0.0000,0.0000,0.0000 yaw 0.0000 pitch 0.0000 health "
                      "255.0000 airborne 0 dead 0 dip 0.0000 bulges 0.0000,0.0000,0.0000 r 1.0000 off "
                      "0.0000,0.0000,0.0000 r 1.0000 off 0.0000,0.0000,0.0000 r 1.0000 off 0.0000,0.0000,0.0000 r "
                      "1.0000 off\n",
                      "object 1 type 1 pos 0.0000,0.0000,0.0000 yaw 0.0000 pitch 0.0000\nobject 2 type 10 pos "});
    EXPECT_EQ(out.find("cursor37.wav"), std::string::npos) << out;
}

TEST_F(ReplayRunner, RefusesABrokenReplayWithItsLine) {
    std::string out = Run("frames 10\nat 3 hold ctrl\n");
    EXPECT_NE(status, 0);
    ExpectLines(out, {"line 2: unknown key 'ctrl'"});
}

}  // namespace
