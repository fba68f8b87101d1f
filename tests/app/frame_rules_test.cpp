// The per-frame rules of the shell: the fade step and the sine table (key sampling is with the Win32
// stand-in's tests).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/globals.h"
#include "app/fade.h"
#include "app/scene_manager.h"

namespace {

std::vector<int> fadeLevels(int start, int speed, int steps) {
    g_fadeLevel = static_cast<int16_t>(start);
    g_fadeSpeed = static_cast<int8_t>(speed);
    std::vector<int> levels;
    for (int i = 0; i < steps; ++i) {
        StepFade();
        levels.push_back(g_fadeLevel);
    }
    return levels;
}

TEST(Fade, ClimbsTo255OrFallsTo0AndHoldsWithoutTouchingTheSpeed) {
    struct {
        int start, speed;
        std::vector<int> levels;  // after each step
    } rows[] = {
        {250, 2, {252, 254, 255, 255}},  // climbs to exactly 255, not 256, and holds
        {3, -5, {0, 0, 0}},              // falls to exactly 0, not -2, and holds
        {77, 0, {77, 77, 77}},           // speed 0 holds
        {255, -1, {254, 253}},           // the speed is a signed byte: -1 falls, not climbs by 255
    };
    for (const auto& r : rows) {
        EXPECT_EQ(fadeLevels(r.start, r.speed, static_cast<int>(r.levels.size())), r.levels) << r.start;
        EXPECT_EQ(g_fadeSpeed, r.speed);
    }
}

TEST(SineTable, KnownEntries) {
    FillSineTable();
    EXPECT_EQ(g_sineTable[0], 0.0f);
    EXPECT_NEAR(g_sineTable[90], 1.0f, 1e-7f);
    EXPECT_EQ(g_sineTable[180], 0.0f);  // exactly, not the float rounding of sin(pi)
    EXPECT_NEAR(g_sineTable[30], 0.5f, 1e-6f);
    EXPECT_NEAR(g_sineTable[270], -1.0f, 1e-7f);
    EXPECT_NEAR(g_sineTable[359], std::sin(359.0 * 3.14159265358979 / 180.0), 1e-6);
}

}  // namespace
