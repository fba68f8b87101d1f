// The per-frame rules of the shell: the fade step, key sampling, the sine table.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/globals.h"
#include "app/input.h"
#include "app/fade.h"
#include "app/scene_manager.h"
#include "headless/control.h"

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

class Input : public ::testing::Test {
protected:
    void SetUp() override {
        headless::reset();
        g_input = InputState{};
        // GetAsyncKeyState reads keys only while the game's window has focus, so make one.
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "test";
        RegisterClassA(&wc);
        ASSERT_NE(CreateWindowExA(0, "test", "t", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                                  nullptr),
                  nullptr);
    }
    void TearDown() override { headless::reset(); }
};

TEST_F(Input, HeldKeyIsDownEveryFrameButTriggeredOnlyOnce) {
    headless::holdKey('E', true);
    SampleInput();
    EXPECT_TRUE(g_input.e.Down());
    EXPECT_TRUE(g_input.e.Triggered());
    for (int i = 0; i < 5; ++i) {
        SampleInput();
        EXPECT_TRUE(g_input.e.Down());
        EXPECT_FALSE(g_input.e.Triggered());
    }
    headless::holdKey('E', false);
    SampleInput();
    EXPECT_EQ(g_input.e.now, 0);
    EXPECT_EQ(g_input.e.before, 1);
    EXPECT_FALSE(g_input.e.Triggered());
}

TEST_F(Input, EveryKeyIsBoundToItsVirtualKey) {
    struct {
        int vk;
        KeyState InputState::*key;
    } keys[] = {{'W', &InputState::w},          {'A', &InputState::a},         {'S', &InputState::s},
                {'D', &InputState::d},          {'E', &InputState::e},         {VK_LEFT, &InputState::left},
                {VK_RIGHT, &InputState::right}, {VK_SPACE, &InputState::space}, {VK_RETURN, &InputState::enter},
                {VK_LBUTTON, &InputState::mouseLeft}, {VK_RBUTTON, &InputState::mouseRight}};
    for (auto& k : keys) {
        g_input = InputState{};
        headless::holdKey(k.vk, true);
        SampleInput();
        headless::holdKey(k.vk, false);
        int downCount = 0;
        for (auto& other : keys) downCount += (g_input.*other.key).now;
        EXPECT_EQ((g_input.*k.key).now, 1) << "vk " << k.vk;
        EXPECT_EQ(downCount, 1) << "vk " << k.vk;
    }
}

TEST_F(Input, KeysAreNotReadWithoutFocus) {
    headless::holdKey('W', true);
    headless::setFocus(false);
    SampleInput();
    EXPECT_FALSE(g_input.w.Down());
    headless::setFocus(true);
    SampleInput();
    EXPECT_TRUE(g_input.w.Triggered());
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
