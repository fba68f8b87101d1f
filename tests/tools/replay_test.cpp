// Reading replay files: every word, and a clear line number for every mistake.
#include <gtest/gtest.h>
#include <windows.h>

#include "../../tools/replay/replay.h"
#include "pad/pad.h"

namespace {

TEST(ReplayFile, ReadsEveryWord) {
    replay::Replay r;
    std::string error;
    ASSERT_TRUE(
        replay::Parse("# title run\r\nframes 300\nanswer no\nanswer yes\nat 10 hold enter  # press\n"
                      "at 12 release enter\nat 30 key escape\nat 40 mouse 5 -3\nat 50 close\n"
                      "print every 10\nprint at 3 17\nshot 120 t.png\nstage 3\nobjects at 1 300\n",
                      r, error))
        << error;
    EXPECT_EQ(r.frames, 300);
    EXPECT_EQ(r.answers, (std::vector<int>{IDNO, IDYES}));
    ASSERT_EQ(r.actions.size(), 5u);
    auto hold = r.actions.find(10)->second;
    EXPECT_EQ(hold.kind, replay::Action::Hold);
    EXPECT_EQ(hold.vk, VK_RETURN);
    auto mouse = r.actions.find(40)->second;
    EXPECT_EQ(mouse.dx, 5);
    EXPECT_EQ(mouse.dy, -3);
    EXPECT_EQ(r.actions.find(50)->second.kind, replay::Action::Close);
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

TEST(ReplayFile, ReadsPadActions) {
    replay::Replay r;
    std::string error;
    ASSERT_TRUE(replay::Parse("at 1 pad connect\nat 2 pad hold back\nat 3 pad release x\nat 4 pad lstick -32768 32767\n"
                              "at 5 pad rtrigger 32767\nat 6 pad disconnect\n",
                              r, error))
        << error;
    ASSERT_EQ(r.actions.size(), 6u);
    EXPECT_EQ(r.actions.find(1)->second.kind, replay::Action::PadConnect);
    EXPECT_EQ(r.actions.find(2)->second.kind, replay::Action::PadHold);
    EXPECT_EQ(r.actions.find(2)->second.vk, pad::Back);
    EXPECT_EQ(r.actions.find(3)->second.vk, pad::X);
    const replay::Action stick = r.actions.find(4)->second;
    EXPECT_EQ(stick.kind, replay::Action::PadAxes);
    EXPECT_TRUE(stick.twoAxes);
    EXPECT_EQ(stick.vk, pad::LeftX);
    EXPECT_EQ(stick.dx, -32768);
    EXPECT_EQ(stick.dy, 32767);
    const replay::Action trigger = r.actions.find(5)->second;
    EXPECT_FALSE(trigger.twoAxes);
    EXPECT_EQ(trigger.vk, pad::RightTrigger);
    EXPECT_EQ(trigger.dx, 32767);
    EXPECT_EQ(r.actions.find(6)->second.kind, replay::Action::PadDisconnect);
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
