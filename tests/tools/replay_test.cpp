// Reading replay files: every word, and a clear line number for every mistake.
#include <gtest/gtest.h>
#include <windows.h>

#include "../../tools/replay/replay.h"
#include "pad/pad.h"

namespace {

// The actions' kinds and values are checked by reading back what they format to (below); here the
// rest of the file, and the key and pad codes the names stand for.
TEST(ReplayFile, ReadsEveryWord) {
    replay::Replay r;
    std::string error;
    ASSERT_TRUE(replay::Parse("# title run\r\nframes 300\nanswer no\nanswer yes\nat 10 hold enter  # press\n"
                              "at 12 pad hold back\nat 13 pad lstick -3 3\nat 14 pad rtrigger 9\n"
                              "print every 10\nprint at 3 17\nshot 120 t.png\nstage 3\nobjects at 1 300\n",
                              r, error))
        << error;
    EXPECT_EQ(r.frames, 300);
    EXPECT_EQ(r.answers, (std::vector<int>{IDNO, IDYES}));
    std::vector<std::pair<int, int>> codes;  // frame and key or pad code of each action
    for (const auto& [frame, action] : r.actions) codes.emplace_back(frame, action.vk);
    EXPECT_EQ(codes, (std::vector<std::pair<int, int>>{
                         {10, VK_RETURN}, {12, pad::Back}, {13, pad::LeftX}, {14, pad::RightTrigger}}));
    // Printed: every 10th frame and 3 and 17; objects listed at 1 and 300.
    EXPECT_EQ((std::vector<bool>{r.Prints(20), r.Prints(17), r.Prints(18), r.ListsObjects(300), r.ListsObjects(2)}),
              (std::vector<bool>{true, true, false, true, false}));
    EXPECT_EQ(r.shots, (std::map<int, std::string>{{120, "t.png"}}));
    EXPECT_EQ(r.stage, 3);
    replay::Replay every;
    ASSERT_TRUE(replay::Parse("objects every 60\n", every, error)) << error;
    EXPECT_EQ(every.stage, 0);
    EXPECT_EQ((std::vector<bool>{every.ListsObjects(120), every.ListsObjects(61)}), (std::vector<bool>{true, false}));
}

// What the shortcut finder writes is read back as the same actions.
TEST(ReplayFile, ActionsWrittenAsLinesReadBackTheSame) {
    const char* lines[] = {"at 0 hold w",         "at 3 release space",         "at 7 key escape",
                           "at 9 mouse -300 17",  "at 12 close",                "at 15 hold lbutton",
                           "at 16 release rbutton", "at 20 hold e",             "at 21 pad connect",
                           "at 22 pad disconnect", "at 23 pad hold back",       "at 24 pad release dright",
                           "at 25 pad lstick -32768 32767", "at 26 pad rstick 5 -5", "at 27 pad ltrigger 100",
                           "at 28 pad rtrigger 32767"};
    for (const char* line : lines) {
        replay::Replay r;
        std::string error;
        ASSERT_TRUE(replay::Parse(line, r, error)) << error;
        ASSERT_EQ(r.actions.size(), 1u);
        EXPECT_EQ(replay::FormatAction(r.actions.begin()->first, r.actions.begin()->second), line);
    }
}

TEST(ReplayFile, MistakesNameTheirLine) {
    const char* bad[] = {"frames -1", "answer maybe",    "at 5 hold ctrl", "at x key escape",
                         "at 5 jump", "print sometimes", "shot 10",        "frames 10 20",
                         "walk",      "stage 0",         "stage two",      "objects sometimes",
                         "at 5 pad hold z", "at 5 pad lstick 0", "at 5 pad rstick 0 32768", "at 5 pad ltrigger -1",
                         "at 5 pad wiggle"};
    for (const char* text : bad) {
        replay::Replay r;
        std::string error;
        EXPECT_FALSE(replay::Parse(std::string("# ok\n") + text + "\n", r, error)) << text;
        EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << text << " -> " << error;
    }
}

}  // namespace
