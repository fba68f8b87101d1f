// The stage checker: a good set of stages passes, and a broken copy for each rule is named by file and line.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/game_run.h"
#include "support/stage_files.h"
#include "tools/check/check.h"

using namespace testing_support;
using content_check::Problem;

namespace {

const std::string kHeader =
    "0,12,-40,\n:\nfloor.x\nplycol.x\nstep.x\nelevator.x\ndoor.x\nltrap.x\nlaser.x\nleveron.x\nleveroff.x\ngoal.x\n:\n";

// Stage 1 of a good pair: every kind of object, a lever on channel 1 for the door and the elevator.
const std::string kGoodStage1 = kHeader +
                                "floor.x,1,0,0,0,0,0\n"           // line 14
                                "plycol.x,10,0,0,0,0,0\n"         // 15
                                "leveroff.x,7,10,0,20,0,0,1,0\n"  // 16
                                "door.x,4,0,0,60,0,0,1\n"         // 17
                                "elevator.x,3,0,0,80,0,0,0,30,80,0.5,1\n"
                                "step.x,2,-20,0,0,0,0,-10,0,0,0.5\n"  // path 10, speed 0.5: lands on both ends
                                "ltrap.x,6,0,5,0,0,0,0,1,0\n"
                                "goal.x,9,0,0,120,0,0,2\n";  // 21
// Stage 2: its own lever on channel 1, so it also works when a run starts on it.
const std::string kGoodStage2 = kHeader +
                                "floor.x,1,0,0,0,0,0\n"
                                "leveroff.x,7,10,0,20,0,0,1,1\n"
                                "door.x,4,0,0,60,0,0,1\n"
                                "goal.x,9,0,0,120,0,0,5\n";  // the last goal leads to the clear screen

using Lines = std::vector<std::string>;  // the checker's problems, formatted

class StageChecker : public ::testing::Test {
protected:
    void SetUp() override {
        WriteStageContent();
        WriteStageList("stage1.txt\nstage2.txt\n");
        WriteStageFile("stage1.txt", kGoodStage1);
        WriteStageFile("stage2.txt", kGoodStage2);
    }
    Lines Check() {
        std::vector<Problem> problems;
        content_check::CheckStages(false, problems);  // with the game's own kinds of object
        Lines lines;
        for (const Problem& p : problems) lines.push_back(content_check::Format(p));
        return lines;
    }
    // The good stage 1 with one line replaced (1-based) by `text` (which may hold several lines or none).
    void BreakStage1(int line, const std::string& text) {
        std::string s = kGoodStage1;
        size_t at = 0;
        for (int i = 1; i < line; ++i) at = s.find('\n', at) + 1;
        size_t end = s.find('\n', at) + 1;
        s.replace(at, end - at, text);
        WriteStageFile("stage1.txt", s);
    }
    const std::string kNote =
        "data/stage2.txt:17: note: the goal leads to stage 5, outside 1 to 4: the clear screen follows";
    TempFolder folder;
};

}  // namespace

TEST_F(StageChecker, GoodStagesPassWithTheClearScreenNote) { EXPECT_EQ(Check(), Lines{kNote}); }

TEST_F(StageChecker, AListLineNamingNoFileIsReportedAtItsLine) {
    WriteStageList("stage1.txt\n stage2.txt\n");
    EXPECT_EQ(Check(), Lines{"data/stagedata.txt:2: stage 2: \"data/ stage2.txt\" does not exist (or is a folder)"});
    WriteStageList("stage1.txt\n");
    EXPECT_EQ(Check(), Lines{"data/stage1.txt:21: the goal leads to stage 2, which the stage list does not have"});
    const std::string longName = std::string(130, 'x') + ".txt";
    WriteStageFile(longName, kGoodStage2);
    WriteStageList(longName + "\nstage1.txt\n");
    EXPECT_EQ(Check().at(0),
              "data/stagedata.txt:1: line longer than 125 characters: the game counts it as two lines, so later "
              "stages shift");
}

TEST_F(StageChecker, MeshesMissingFromTheListOrTheFolder) {
    std::string s = kGoodStage1;
    s.replace(s.find("goal.x\n:"), 7, "");  // the goal's fixed mesh is no longer listed
    s.replace(s.find("plycol.x,10"), 8, "wall.x");
    s.replace(s.find("goal.x,9"), 6, "floor.x");  // a goal on a listed mesh: only its drawing mesh is missing
    WriteStageFile("stage1.txt", s);
    EXPECT_EQ(Check(), (Lines{"data/stage1.txt:14: mesh \"wall.x\" is not in the mesh list: the record is skipped",
                              "data/stage1.txt:20: OGoal draws goal.x, which is not in the mesh list", kNote}));
    BreakStage1(3, "floor.x\nnowhere.x\n");
    EXPECT_EQ(Check()[0], "data/stage1.txt:4: mesh \"nowhere.x\" is not in data/xfile: the game stops at this load");
    BreakStage1(3, "floor.x\n\n");
    EXPECT_EQ(Check()[0],
              "data/stage1.txt:4: blank line in the mesh list: the game tries to load a mesh with no name and stops");
}

TEST_F(StageChecker, UnknownCodesAndRecordsNamingTheWrongMesh) {
    BreakStage1(14, "floor.x,5,0,0,0,0,0\nfloor.x,4,0,0,0,0,0,1\nfloor.x,3,0,0,0,0,0,1,1,1,1,1\n\n");
    EXPECT_EQ(Check(), (Lines{"data/stage1.txt:14: type code 5 names no kind of object: the record is skipped",
                              "data/stage1.txt:15: ODoor records must name door.x, not \"floor.x\"",
                              "data/stage1.txt:16: OElevator records must name elevator.x, not \"floor.x\"",
                              "data/stage1.txt:17: empty line among the records: it is skipped", kNote}));
}

TEST_F(StageChecker, ChannelsMustExistWhenTheObjectReadsThem) {
    // Stage 1 has one lever: channels 0 and 1. A door on 2 is out of range here, though stage 2's lever
    // would make it fine there; a trap on −1 is never in range.
    BreakStage1(17, "door.x,4,0,0,60,0,0,2\nltrap.x,6,0,5,0,0,0,-1,1,0\n");
    EXPECT_EQ(Check(), (Lines{"data/stage1.txt:17: ODoor on channel 2, not below the lever-state list's length 2 here "
                              "(channel 0 and one per lever made so far, stages played in list order)",
                              "data/stage1.txt:18: OLaserTrap on channel -1, not below the lever-state list's length 2 "
                              "here (channel 0 and one per lever made so far, stages played in list order)",
                              kNote}));
    // Channel 2 in stage 2 is fine after stage 1's lever, but not in a run that starts on stage 2.
    WriteStageFile("stage1.txt", kGoodStage1);
    std::string two = kGoodStage2;
    two.replace(two.find("door.x,4,0,0,60,0,0,1"), 21, "door.x,4,0,0,60,0,0,2");
    WriteStageFile("stage2.txt", two);
    EXPECT_EQ(Check(), (Lines{kNote,
                              "data/stage2.txt:16: note: ODoor on channel 2 relies on levers "
                              "of earlier stages: started on this stage the list has length 2"}));
    WriteStageFile("stage2.txt", kGoodStage2);
    // A lever later in the same stage counts: the channels are read after the whole stage is made.
    BreakStage1(16, "door.x,4,0,0,60,0,0,2\nleveroff.x,7,10,0,20,0,0,1,0\nleveroff.x,7,10,0,20,0,0,2,0\n");
    EXPECT_EQ(Check(), Lines{kNote});
}

TEST_F(StageChecker, StepsThatCanMissAnEnd) {
    BreakStage1(19,
                "step.x,2,-20,0,0,0,0,-10,0,0,0.7\n"    // 14 frames: 0.2 short; 15: 0.5 past
                "step.x,2,-20,0,0,0,0,-10,0,0,0.05\n"   // turned back at once, every frame
                "step.x,2,-20,0,0,0,0,-10,0,0,-0.5\n"   // away from the target, for ever
                "step.x,2,-20,0,0,0,0,-10,0,0,0.2\n");  // 50 frames: lands
    EXPECT_EQ(Check(),
              (Lines{"data/stage1.txt:19: step with speed 0.7 on a path of length 10 passes its target without "
                     "turning (ends are found only within 0.1; speeds up to 0.2 land)",
                     "data/stage1.txt:20: step with speed 0.05 on a path of length 10 never leaves its start: a "
                     "move shorter than 0.1 turns it back",
                     "data/stage1.txt:21: step with speed -0.5 on a path of length 10 moves away from its target "
                     "and never comes back",
                     kNote}));
}

TEST_F(StageChecker, ElevatorsWithOneStopAndGoalsLeadingOut) {
    BreakStage1(18, "elevator.x,3,0,0,80,0,0,0,0,80,0.5,1\n");
    std::string s = ReadFile("data/stage1.txt");
    const std::string goal = "goal.x,9,0,0,120,0,0,2";
    s.replace(s.find(goal), goal.size(), "goal.x,9,0,0,120,0,0,0");
    WriteStageFile("stage1.txt", s);
    EXPECT_EQ(Check(), (Lines{"data/stage1.txt:18: the elevator's two stops coincide",
                              "data/stage1.txt:21: note: the goal leads to stage 0, outside 1 to 4: the clear screen "
                              "follows",
                              kNote}));
}

TEST_F(StageChecker, LineEndsAndTheStartPosition) {
    std::string s = kGoodStage1;
    s.pop_back();                     // the goal's line feed
    s.replace(0, 12, "0,12,-40:\n");  // the colon right after the third number: every line moves up one
    WriteStageFile("stage1.txt", s);
    EXPECT_EQ(Check(),
              (Lines{"data/stage1.txt:1: start position: number 3 is ended by the colon, not by a comma or line "
                     "feed, so it is not read (it stays 0)",
                     "data/stage1.txt:20: the last line has no line feed: its record is never made", kNote}));
    BreakStage1(1, "5\n");
    EXPECT_EQ(Check()[0], "data/stage1.txt:2: start position gives 1 of its three numbers (the rest are 0)");
    WriteStageFile("stage1.txt", "0,0,0,\n:\nfloor.x\n");
    EXPECT_EQ(Check()[0],
              "data/stage1.txt:4: the file ends before the colon that closes the mesh list: the game stops here");
}

TEST_F(StageChecker, BytesNoNameCanHoldAndOverLongFields) {
    WriteStageList(std::string("stage1.txt\0x\nstage2.txt\n", 24));
    EXPECT_EQ(Check(), (Lines{"data/stagedata.txt:1: the line holds a NUL byte: no file can have that name", kNote}));
    WriteStageList("stage1.txt\nstage2.txt\n");
    BreakStage1(14, "floor.x,1," + std::string(300, '1') + ",0,0,0,0\n");
    EXPECT_EQ(Check(),
              (Lines{"data/stage1.txt:14: a number longer than 255 characters: only its start is read", kNote}));
    BreakStage1(14, std::string("floor.x,1,0,0,0,0,0\nfl\0or.x,1\n", 30));
    EXPECT_EQ(Check(), (Lines{"data/stage1.txt:15: mesh \"fl\\x00or.x\" is not in the mesh list: the record is skipped",
                              "data/stage1.txt: the file holds NUL bytes", kNote}));
}
