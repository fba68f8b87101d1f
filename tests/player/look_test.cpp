// The mouse look on the window's cursor: pixels from the rest point turn the view by pixels / divisor,
// the pitch stops at ±80, the arrow keys move the divisor, and the cursor is put back every frame.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/globals.h"
#include "support/world.h"

using namespace testing_support;

namespace {

POINT CursorInClient() {
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(g_hWnd, &p);
    return p;
}

class Look : public World {
protected:
    void SetUp() override {
        World::SetUp();
        Floor();
        Place({0, 12, 0});
    }
};

TEST_F(Look, FifteenPixelsAtDivisorFifteenTurnOneDegreeAndTheCursorGoesBack) {
    MoveMouse(15, 0);
    Frame();
    EXPECT_EQ(std::pair(g_player.yaw, g_player.pitch), std::pair(1.0f, 0.0f));
    const POINT p = CursorInClient();
    EXPECT_EQ(std::pair(p.x, p.y), (std::pair<LONG, LONG>(320, 240)));
    Frame();  // no motion, no turn
    EXPECT_EQ(g_player.yaw, 1.0f);
    MoveMouse(-30, 15);
    Frame();
    EXPECT_EQ(std::pair(g_player.yaw, g_player.pitch), std::pair(-1.0f, 1.0f));  // down looks down
    // The target is one unit along the view: sin yaw cos pitch, -sin pitch, cos yaw cos pitch.
    const float c = std::cos(kDegToRad), s = std::sin(kDegToRad);
    ExpectNear(g_player.lookAt - g_player.position, {-s * c, -s, c * c}, 1e-6f);
}

// Pixels down in turn and the pitch after each: motion past the stop is thrown away by the clamp.
TEST_F(Look, PitchStopsAtEightyEitherWay) {
    for (auto [dy, pitch] : {std::pair{2000, 80.0f}, {300, 80.0f}, {-15, 79.0f}, {-5000, -80.0f}}) {
        MoveMouse(0, dy);
        Frame();
        EXPECT_EQ(g_player.pitch, pitch) << dy;
    }
    EXPECT_EQ(CursorInClient().y, 240);
}

TEST_F(Look, ArrowKeysMoveTheDivisorForTheNextFrameAndNeverBelowOne) {
    MoveMouse(15, 0);
    Frame({VK_RIGHT});
    EXPECT_EQ(g_player.yaw, 1.0f);  // this frame still turned at 15
    EXPECT_FLOAT_EQ(g_mouseDivisor, 14.9f);
    Frames(300, {VK_RIGHT});
    EXPECT_EQ(g_mouseDivisor, 1.0f);
    MoveMouse(3, 0);
    Frame();
    EXPECT_EQ(g_player.yaw, 4.0f);
    Frames(20, {VK_LEFT});           // up by 0.1 a frame from 1
    Frames(5, {VK_LEFT, VK_RIGHT});  // both: no change
    EXPECT_NEAR(g_mouseDivisor, 3.0f, 1e-4f);
}

TEST_F(Look, MotionWithoutFocusTurnsNothing) {
    headless::setFocus(false);
    MoveMouse(0, 0);  // the focus change reaches the window
    MoveMouse(150, 40);
    Frame();
    EXPECT_EQ(std::pair(g_player.yaw, g_player.pitch), std::pair(0.0f, 0.0f));
    headless::setFocus(true);
    MoveMouse(15, 0);
    Frame();
    EXPECT_EQ(g_player.yaw, 1.0f);
}

}  // namespace
