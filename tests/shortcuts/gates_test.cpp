// Gates files: every kind of gate and condition, the sweep line, the defaults, and a line number with
// a reason for every mistake.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>
#include <utility>

#include "support/game_run.h"
#include "tools/shortcuts/gates.h"
#include "tools/shortcuts/search.h"

using namespace shortcuts;
using testing_support::TempFolder;

namespace {

// A box as its corners: lo x, y, z, then hi x, y, z.
std::vector<float> Corners(const Box& b) { return {b.lo.x, b.lo.y, b.lo.z, b.hi.x, b.hi.y, b.hi.z}; }

TEST(GatesFile, ReadsEveryGateConditionAndSweep) {
    Gates g;
    std::string error;
    ASSERT_TRUE(
        ParseGates("# stage 1\r\n"
                   "solution ../solved.replay\n"
                   "checkpoint 300 12   # two\n"
                   "checkpoint 40\n"
                   "gate up enter 40 120 150 -40 40 70 unshot 26 7 69.5 -2 -1 46 grounded\n"
                   "gate lever goal never 1 off 2 on 0\n"
                   "gate shut door 3 unridden 5\n"
                   "sweep laser walk.replay checkpoint 404 deaths 0.9 region -12 40 215 12 80 266\n"
                   "sweep quick walk.replay starts 15 deaths 0 checkpoint 9\n",
                   1, "/g/steps", g, error))
        << error;
    EXPECT_EQ(g.stage, 1);
    EXPECT_EQ(g.solution, "/g/solved.replay");
    EXPECT_EQ(g.checkpoints, (std::vector<int>{300, 12, 40}));
    ASSERT_EQ(g.gates.size(), 3u);
    // What each kind of gate and condition does is the watch's test, which reads its gates through this
    // parser; here what it cannot see: corners come in either order, the box keeps the smaller as lo.
    const Gate& up = g.gates[0];
    EXPECT_EQ(up.name, "up");
    EXPECT_EQ(Corners(up.box), (std::vector<float>{-40, 40, 70, 40, 120, 150}));
    ASSERT_EQ(up.conditions.size(), 2u);
    EXPECT_EQ(Corners(up.conditions[0].box), (std::vector<float>{-2, -1, 46, 26, 7, 69.5f}));
    ASSERT_EQ(g.sweeps.size(), 2u);
    // The share is read as a float: 0.9f, not 0.9.
    const Sweep &laser = g.sweeps[0], &quick = g.sweeps[1];
    EXPECT_EQ(std::make_tuple(laser.fragment, laser.checkpoint, laser.starts, laser.deaths, laser.hasRegion),
              std::make_tuple("walk.replay", 404, 60, 0.9f, true));
    EXPECT_EQ(Corners(laser.region), (std::vector<float>{-12, 40, 215, 12, 80, 266}));
    EXPECT_EQ(std::make_tuple(quick.starts, quick.deaths, quick.hasRegion), std::make_tuple(15, 0.0, false));
}

struct Mistake {
    const char* line;
    const char* says;
};

class GatesMistake : public testing::TestWithParam<Mistake> {};

TEST_P(GatesMistake, NamesItsLineAndWhy) {
    Gates g;
    std::string error;
    EXPECT_FALSE(ParseGates(std::string("gate ok goal\n") + GetParam().line + "\n", 1, "/g", g, error));
    EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << error;
    EXPECT_NE(error.find(GetParam().says), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, GatesMistake,
    testing::Values(Mistake{"gate ok enter 0 0 0 1 1 1", "a second gate named 'ok'"},
                    Mistake{"gate", "gate needs a name"}, Mistake{"gate a/b goal", "letters, digits"},
                    Mistake{"gate g climb", "goal, enter or door"}, Mistake{"gate g enter 0 0 0 1 1", "needs a box"},
                    Mistake{"gate g enter 0 0 0 1 1 nan", "needs a box"}, Mistake{"gate g door 0", "from 1"},
                    Mistake{"gate g goal never", "channel number"}, Mistake{"gate g goal never -1", "channel number"},
                    Mistake{"gate g goal unridden 0", "numbered from 1"},
                    Mistake{"gate g goal unshot 1 2 3", "unshot needs a box"},
                    Mistake{"gate g goal sometimes", "unknown condition 'sometimes'"},
                    Mistake{"checkpoint", "needs frames"}, Mistake{"checkpoint 10 x", "not 'x'"},
                    Mistake{"checkpoint 0", "from 1"}, Mistake{"solution", "needs a replay"},
                    Mistake{"solution a b", "unexpected 'b'"}, Mistake{"sweep s", "fragment"},
                    Mistake{"sweep s f.replay deaths 0.5", "its checkpoint and its deaths"},
                    Mistake{"sweep s f.replay checkpoint 5", "its checkpoint and its deaths"},
                    Mistake{"sweep s f.replay checkpoint 5 deaths 1.5", "share from 0 to 1"},
                    Mistake{"sweep s f.replay checkpoint 5 deaths 1 starts 0", "count from 1"},
                    Mistake{"sweep s f.replay checkpoint 5 deaths 1 region 1", "region needs a box"},
                    Mistake{"sweep s f.replay checkpoint 5 deaths 1 often", "unknown sweep word 'often'"},
                    Mistake{"gates 1", "unknown word 'gates'"}));

TEST(GatesFile, AFileWithoutGatesOrThatCannotBeReadIsNamed) {
    TempFolder folder;
    Gates g;
    std::string error;
    std::ofstream("stage1.gates") << "# nothing yet\ncheckpoint 5\n";
    EXPECT_FALSE(LoadGates("stage1.gates", 1, g, error));
    EXPECT_EQ(error, "stage1.gates: names no gate and no sweep");
    std::ofstream("stage2.gates") << "gate g goal\ngate h nowhere\n";
    EXPECT_FALSE(LoadGates("stage2.gates", 2, g, error));
    EXPECT_EQ(error, "stage2.gates:2: a gate is goal, enter or door, not 'nowhere'");
    EXPECT_FALSE(LoadGates("stage9.gates", 9, g, error));
    EXPECT_EQ(error, "stage9.gates: cannot be read");
    std::filesystem::create_directory("stage3.gates");
    EXPECT_FALSE(LoadGates("stage3.gates", 3, g, error));
    EXPECT_EQ(error, "stage3.gates: a folder, not a gates file");
}

// A stage's plan: the solution it names (by default the stage's replay one folder up) must start on the
// stage and last past every checkpoint; with no checkpoint line there are four, at the start and at each
// quarter of the solution's frames.
TEST(StagePlan, ChecksTheSolutionAndSpreadsDefaultCheckpoints) {
    TempFolder folder;
    std::filesystem::create_directory("steps");
    std::ofstream("stage2.replay") << "stage 2\nanswer no\nat 5 hold w\nframes 620\n";
    std::ofstream("walk.replay") << "at 0 hold w\nframes 100\n";
    StagePlan plan;
    std::string error;
    std::ofstream("steps/stage2.gates") << "gate g goal\nsweep s ../walk.replay checkpoint 100 deaths 0.5\n";
    ASSERT_TRUE(LoadStagePlan("steps", 2, plan, error)) << error;
    EXPECT_EQ(plan.gates.checkpoints, (std::vector<int>{1, 155, 310, 465}));  // 620 / 4 = 155
    EXPECT_EQ(plan.solution.answers.size(), 1u);
    ASSERT_EQ(plan.fragments.size(), 1u);
    EXPECT_EQ(plan.fragments[0].frames, 100);

    std::ofstream("steps/stage2.gates") << "gate g goal\ncheckpoint 620\n";
    EXPECT_FALSE(LoadStagePlan("steps", 2, plan, error));
    EXPECT_NE(error.find("checkpoint 620 is not within the solution's 620 frames"), std::string::npos) << error;
    std::ofstream("steps/stage2.gates") << "gate g goal\nsweep s nowhere.replay checkpoint 100 deaths 0.5\n";
    EXPECT_FALSE(LoadStagePlan("steps", 2, plan, error));
    EXPECT_NE(error.find("sweep s: cannot open"), std::string::npos) << error;
    std::ofstream("steps/stage2.gates") << "gate g goal\nsolution ../walk.replay\n";
    EXPECT_FALSE(LoadStagePlan("steps", 2, plan, error));
    EXPECT_NE(error.find("does not start with 'stage 2'"), std::string::npos) << error;
}

}  // namespace
