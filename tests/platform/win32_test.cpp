// The Win32 stand-in: window sizes, the cursor counter, the virtual cursor and the key state, and the
// game's key sampling through it. The message queue is checked by the game run tests, which end through it.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/globals.h"
#include "app/input.h"
#include "headless/control.h"

namespace {

class Win32 : public ::testing::Test {
protected:
    void SetUp() override {
        headless::reset();
        g_input = InputState{};
        // GetAsyncKeyState reads keys only while the game's window has focus.
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "Generic Game SDK Window";
        ASSERT_NE(RegisterClassA(&wc), 0);
        hWnd = CreateWindowExA(0, "Generic Game SDK Window", "Quillmoor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               CW_USEDEFAULT, 640, 480, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(hWnd, nullptr);
    }
    void TearDown() override { headless::reset(); }
    HWND hWnd = nullptr;
};

TEST_F(Win32, TheFrameTakesItsShareOfTheOuterSizeAndUnknownClassesGiveNoWindow) {
    // The game's adjusted window and its 640 × 480 client are checked by the game run tests.
    int w = 0, h = 0;
    headless::clientSize(w, h);
    EXPECT_TRUE(w < 640 && h < 480) << w << " × " << h;  // the outer size leaves less for the client
    RECT r = {0, 0, 640, 480};
    ASSERT_TRUE(AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE));
    EXPECT_LT(r.left, 0);
    EXPECT_LT(r.top, r.left);  // the caption sits above
    EXPECT_EQ(CreateWindowExA(0, "nope", "x", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(Win32, ShowCursorKeepsACounter) {
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    EXPECT_TRUE(headless::relativeMouse());
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_FALSE(headless::relativeMouse());
}

TEST_F(Win32, HiddenCursorStartsAtTheCentreAndSeesRelativeMotionOnlyWithFocus) {
    // While it is shown, the cursor is the real pointer.
    headless::setPointer(100, 50);
    POINT p;
    GetCursorPos(&p);
    ASSERT_TRUE(ScreenToClient(hWnd, &p));
    EXPECT_EQ(std::pair(p.x, p.y), (std::pair<LONG, LONG>(100, 50)));
    // The stage load centres the cursor, then the game scene hides it: the real pointer is elsewhere.
    POINT centre = {320, 240};
    ASSERT_TRUE(ClientToScreen(hWnd, &centre));
    SetCursorPos(centre.x, centre.y);
    ShowCursor(FALSE);
    GetCursorPos(&p);
    EXPECT_EQ(std::pair(p.x, p.y), std::pair(centre.x, centre.y));
    headless::moveMouse(7, -3);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    GetCursorPos(&p);
    EXPECT_EQ(std::pair(p.x - centre.x, p.y - centre.y), (std::pair<LONG, LONG>(7, -3)));

    // Without focus the cursor is released and motion ignored; with it back, captured again, and losing
    // and regaining focus did not move it.
    SetCursorPos(centre.x, centre.y);
    headless::setFocus(false);
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    EXPECT_FALSE(headless::relativeMouse());
    headless::moveMouse(50, 50);
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON), 0);
    headless::setFocus(true);
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    EXPECT_TRUE(headless::relativeMouse());
    GetCursorPos(&p);
    EXPECT_EQ(std::pair(p.x, p.y), std::pair(centre.x, centre.y));
}

TEST_F(Win32, AsyncKeyStateHasTheDownBitAndPressedSinceLastQuery) {
    EXPECT_EQ(GetAsyncKeyState('W'), 0);
    headless::holdKey('W', true);
    EXPECT_EQ(static_cast<unsigned short>(GetAsyncKeyState('W')), 0x8001u);
    EXPECT_EQ(static_cast<unsigned short>(GetAsyncKeyState('W')), 0x8000u);  // the top bit: negative
}

using Input = Win32;

TEST_F(Input, HeldKeyIsDownEveryFrameButTriggeredOnlyOnce) {
    headless::holdKey('E', true);
    // Down and triggered on the first frame; down only on the next five.
    for (int i = 0; i < 6; ++i) {
        SampleInput();
        EXPECT_EQ(std::pair(g_input.e.Down(), g_input.e.Triggered()), std::pair(true, i == 0)) << i;
    }
    headless::holdKey('E', false);
    SampleInput();
    EXPECT_EQ(std::tuple(g_input.e.now, g_input.e.before, g_input.e.Triggered()), std::tuple(0, 1, false));
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
        EXPECT_EQ(std::pair((g_input.*k.key).now, downCount), std::pair(1, 1)) << "vk " << k.vk;  // its key alone
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

}  // namespace
