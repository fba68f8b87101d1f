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
    ASSERT_EQ(r.actions.size(), 4u);
    EXPECT_EQ(r.actions.find(10)->second.vk, VK_RETURN);
    EXPECT_EQ(r.actions.find(12)->second.vk, pad::Back);
    EXPECT_EQ(r.actions.find(13)->second.vk, pad::LeftX);
    EXPECT_EQ(r.actions.find(14)->second.vk, pad::RightTrigger);
    EXPECT_TRUE(r.Prints(20));
    EXPECT_TRUE(r.Prints(17));
    EXPECT_FALSE(r.Prints(18));
    EXPECT_EQ(r.shots.at(120), "t.png");
    EXPECT_EQ(r.stage, 3);
    EXPECT_TRUE(r.ListsObjects(300));
    EXPECT_FALSE(r.ListsObjects(2));
    replay::Replay every;
    ASSERT_TRUE(replay::Parse("objects every 60\n", every, error)) << error;
    EXPECT_EQ(every.stage, 0);
    EXPECT_TRUE(every.ListsObjects(120));
    EXPECT_FALSE(every.ListsObjects(61));
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
