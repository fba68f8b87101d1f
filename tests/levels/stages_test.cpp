// The shipped stages, played by their replays through the headless replay runner: every solution
// reaches its goal unharmed, the play-through goes from the title to the title, every hazard kills and
// the same stage starts again.
#include <algorithm>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/game_run.h"

namespace {

namespace fs = std::filesystem;

// A frame of the report, or a sound call: the words of its lines as name → value pairs ("scene" → "game",
// "fade" → "255", "pos" → "0.0000,12.0000,0.0000", "health" → "255.5000"; a sound: "play" → its name,
// "volume", "flags").
struct Line {
    int n = 0;
    std::map<std::string, std::string> is;
    std::string operator[](const std::string& name) const {
        auto it = is.find(name);
        return it == is.end() ? "" : it->second;
    }
    float Number(const std::string& name) const { return std::stof((*this)[name]); }
    bool Dead() const { return (*this)["dead"] == "1"; }
    float Y() const { return std::stof((*this)["pos"].substr((*this)["pos"].find(',') + 1)); }
};
using Frame = Line;
using Sound = Line;
struct Played {
    std::vector<Frame> frames;
    std::vector<Sound> sounds;
    int status = -1;
    std::string text;
};

void Pairs(std::istream& in, std::map<std::string, std::string>& into) {
    std::string name, value;
    while (in >> name >> value) into.emplace(name, value);
}

// Runs a replay of tests/replays with the runner in a fresh folder whose data/ is the game's own.
Played Play(const std::string& replay) {
    testing_support::TempFolder folder;
    fs::create_directory_symlink(fs::path(QUILLMOOR_SOURCE_DIR) / "data", "data");
    const std::string command =
        std::string(REPLAY_BINARY) + " --dir . " + QUILLMOOR_SOURCE_DIR + "/tests/replays/" + replay + " 2>&1";
    Played run;
    std::FILE* pipe = popen(command.c_str(), "r");
    char buffer[65536];
    size_t got;
    while (pipe && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.text.append(buffer, got);
    run.status = pipe ? pclose(pipe) : -1;
    std::istringstream lines(run.text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        std::string word, kind;
        Line l;
        in >> word;
        if (word == "player" && !run.frames.empty()) {
            Pairs(in, run.frames.back().is);
        } else if (word == "frame" && in >> l.n >> kind && (kind == "scene" || kind == "sound")) {
            if (kind == "scene") in >> l.is["scene"];
            Pairs(in, l.is);
            if (kind == "scene") run.frames.push_back(l);
            if (!l["play"].empty()) run.sounds.push_back(l);
        }
    }
    return run;
}

// The first frame at or after `from` in the given scene with the given stage index; -1 if none.
int FirstFrame(const Played& run, const std::string& scene, int stage, int from = 0) {
    for (const Frame& f : run.frames)
        if (f.n >= from && f["scene"] == scene && f["stage"] == std::to_string(stage)) return f.n;
    return -1;
}

// Frame n of the report; a missing one fails the test and reads as empty.
const Frame& At(const Played& run, int n) {
    for (const Frame& f : run.frames)
        if (f.n == n) return f;
    static const Frame none;
    ADD_FAILURE() << "no frame " << n;
    return none;
}

std::vector<Sound> Sounds(const Played& run, const std::string& name) {
    std::vector<Sound> out;
    for (const Sound& s : run.sounds)
        if (s["play"] == name) out.push_back(s);
    return out;
}

TEST(Stages, EachSolutionReachesItsGoalUnharmed) {
    for (int stage = 1; stage <= 4; ++stage) {
        SCOPED_TRACE("stage " + std::to_string(stage));
        const Played run = Play("stage" + std::to_string(stage) + ".replay");
        ASSERT_EQ(run.status, 0) << run.text.substr(0, 2000);
        ASSERT_FALSE(run.frames.empty());
        EXPECT_EQ(run.frames.front()["scene"] + " " + run.frames.front()["stage"], "load " + std::to_string(stage));
        // The goal sends the game to the next stage's load, or to the clear screen after the fourth.
        const int next = stage < 4 ? FirstFrame(run, "load", stage + 1) : FirstFrame(run, "clear", 5);
        ASSERT_GT(next, 0) << "the goal was not reached";
        // The goal's chime sounds once, and the white fade from it takes 51 frames to cover the screen.
        const auto chime = Sounds(run, "mecha15.wav");
        ASSERT_EQ(chime.size(), 1u);
        EXPECT_EQ(At(run, next - 1)["colour"], "255,255,255");
        EXPECT_EQ(next - chime[0].n, 52);  // 51 frames of fade, then the scene changes
        // Unharmed all the way: never dead, never below full health once the stage has started.
        for (const Frame& f : run.frames)
            EXPECT_TRUE(f.n < 2 || f.n >= next || (!f.Dead() && f.Number("health") >= 255.0f)) << "frame " << f.n;
    }
}

TEST(Stages, PlayThroughGoesFromTheTitleThroughEveryStageBackToTheTitle) {
    const Played run = Play("playthrough.replay");
    ASSERT_EQ(run.status, 0) << run.text.substr(0, 2000);
    // The scenes in the order they were current, each with its stage index.
    std::vector<std::string> order;
    for (const Frame& f : run.frames) {
        const std::string step = f["scene"] + " " + f["stage"];
        if (order.empty() || order.back() != step) order.push_back(step);
    }
    const std::vector<std::string> expected = {"title 1", "load 1", "game 1", "game 2",  "load 2",
                                               "game 2",  "game 3", "load 3", "game 3",  "game 4",
                                               "load 4",  "game 4", "game 5", "clear 5", "title 1"};
    EXPECT_EQ(order, expected);
    for (const Frame& f : run.frames) EXPECT_FALSE(f.Dead()) << "frame " << f.n;
}

TEST(Stages, EveryHazardKillsAndTheSameStageStartsAgain) {
    // Each replay, its stage, and how many laser beeps (two or more: 2) and landing thuds it makes.
    for (const auto& [replay, stage, beepCount, thudCount] :
         {std::tuple{"laser.replay", 2, 2u, 0u}, {"fall.replay", 2, 0u, 1u}, {"fallout.replay", 3, 0u, 0u}}) {
        SCOPED_TRACE(replay);
        const Played run = Play(replay);
        ASSERT_EQ(run.status, 0) << run.text.substr(0, 2000);
        const auto dead = std::find_if(run.frames.begin(), run.frames.end(), [](const Frame& f) { return f.Dead(); });
        ASSERT_NE(dead, run.frames.end()) << "nobody died";
        const int death = dead->n;
        // The death starts the fade to black at 2 a frame: 128 frames to cover the screen, then the
        // same stage loads and the player stands at its start again (the stages all start at (0, 12, 0)),
        // whole, the goal's chime never heard.
        const Frame& first = *dead;
        EXPECT_EQ(std::make_tuple(first["speed"], first["colour"], first.Number("health")),
                  std::make_tuple("2", "0,0,0", 0.0f));
        const int reload = FirstFrame(run, "load", stage, death);
        ASSERT_GT(reload, 0) << "the stage did not load again";
        EXPECT_EQ(reload - death, 128);
        EXPECT_EQ(At(run, reload - 1)["fade"], "255");
        const Frame& after = At(run, reload + 1);
        EXPECT_EQ(std::make_tuple(after["scene"], after.Dead(), after.Number("health"), after["pos"]),
                  std::make_tuple("game", false, 255.0f, "0.0000,12.0000,0.0000"));
        EXPECT_TRUE(Sounds(run, "mecha15.wav").empty());

        // What killed the player.
        const auto beeps = Sounds(run, "beep07.wav"), thuds = Sounds(run, "bosu20.wav");
        ASSERT_EQ(std::make_tuple(std::min(beeps.size(), size_t(2)), thuds.size()),
                  std::make_tuple(size_t(beepCount), size_t(thudCount)));
        const std::string name = replay;
        if (name == "laser.replay") {
            // Two touches of the beam (128 each, the laser trap tests' rule) with the health climbing
            // back between them; the touch that takes it to 0 or below is in the frame before the one
            // that shows the death.
            EXPECT_TRUE(std::any_of(beeps.begin(), beeps.end(), [&](const auto& b) { return b.n == death - 1; }));
        } else if (name == "fall.replay") {
            // A landing faster than 4.5 a frame: the thud at full volume.
            EXPECT_EQ(thuds[0]["volume"], "0");
            EXPECT_LT(thuds[0].n, death);
        } else {
            // Below y = -200 the player is held at -199 with no health left; nothing was landed on.
            EXPECT_EQ(first.Y(), -199.0f);
        }
    }
}

}  // namespace
