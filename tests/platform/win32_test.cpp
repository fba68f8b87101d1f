// The Win32 stand-in: window sizes, the message queue, the cursor counter and the virtual cursor.
#include <gtest/gtest.h>
#include <windows.h>

#include "headless/control.h"

namespace {

std::vector<UINT> received;
LRESULT CALLBACK recordingProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back(message);
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

class Win32 : public ::testing::Test {
protected:
    void SetUp() override {
        headless::reset();
        received.clear();
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = recordingProc;
        wc.lpszClassName = "Generic Game SDK Window";
        ASSERT_NE(RegisterClassA(&wc), 0);
        hWnd = CreateWindowExA(0, "Generic Game SDK Window", "Quillmoor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               CW_USEDEFAULT, 640, 480, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(hWnd, nullptr);
    }
    void TearDown() override { headless::reset(); }
    HWND hWnd = nullptr;
};

TEST_F(Win32, AdjustedOuterSizeGivesExactly640By480Client) {
    int w = 0, h = 0;
    headless::clientSize(w, h);
    EXPECT_LT(w, 640);  // an outer size of 640 × 480 leaves less for the client, as on Windows
    EXPECT_LT(h, 480);
    RECT r = {0, 0, 640, 480};
    ASSERT_TRUE(AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE));
    EXPECT_LT(r.left, 0);
    EXPECT_LT(r.top, r.left);  // the caption sits above
    ASSERT_TRUE(SetWindowPos(hWnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW));
    headless::clientSize(w, h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_TRUE(headless::windowVisible());
    RECT client;
    ASSERT_TRUE(GetClientRect(hWnd, &client));
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
}

TEST_F(Win32, UnregisteredClassOrFailingBackendGivesNoWindow) {
    EXPECT_EQ(CreateWindowExA(0, "nope", "x", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
    headless::reset();
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "c";
    RegisterClassA(&wc);
    headless::failWindowCreation(true);
    EXPECT_EQ(CreateWindowExA(0, "c", "x", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(Win32, CloseBecomesDestroyThenQuit) {
    headless::pushClose();
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, UINT(WM_CLOSE));
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    DispatchMessageA(&msg);
    EXPECT_EQ(received, (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
    EXPECT_FALSE(headless::windowExists());
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    PostQuitMessage(0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, WPARAM(0));
}

TEST_F(Win32, KeyDownCarriesTheRepeatBit) {
    headless::pushKeyDown(VK_ESCAPE);
    headless::pushKeyDown(VK_ESCAPE, true);
    MSG msg;
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, UINT(WM_KEYDOWN));
    EXPECT_EQ(msg.wParam, WPARAM(VK_ESCAPE));
    EXPECT_EQ(msg.lParam & (1L << 30), 0);
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_NE(msg.lParam & (1L << 30), 0);
}

TEST_F(Win32, ShowCursorKeepsACounter) {
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    EXPECT_TRUE(headless::relativeMouse());
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_FALSE(headless::relativeMouse());
}

TEST_F(Win32, HiddenCursorSeesRelativeMotionAndRecentresWithoutWarping) {
    ShowCursor(FALSE);
    POINT centre = {320, 240};
    ASSERT_TRUE(ClientToScreen(hWnd, &centre));
    SetCursorPos(centre.x, centre.y);
    headless::moveMouse(7, -3);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    POINT p;
    GetCursorPos(&p);
    EXPECT_EQ(p.x - centre.x, 7);
    EXPECT_EQ(p.y - centre.y, -3);
    SetCursorPos(centre.x, centre.y);
    GetCursorPos(&p);
    EXPECT_EQ(p.x, centre.x);
    EXPECT_EQ(p.y, centre.y);
    ASSERT_TRUE(ScreenToClient(hWnd, &p));
    EXPECT_EQ(p.x, 320);
    EXPECT_EQ(p.y, 240);
}

TEST_F(Win32, CentringThenHidingStartsMouseLookFromTheCentre) {
    // The stage load centres the cursor, then the game scene hides it: the real pointer is elsewhere.
    headless::setPointer(100, 50);
    POINT centre = {320, 240};
    ClientToScreen(hWnd, &centre);
    SetCursorPos(centre.x, centre.y);
    ShowCursor(FALSE);
    POINT p;
    GetCursorPos(&p);
    EXPECT_EQ(p.x, centre.x);
    EXPECT_EQ(p.y, centre.y);
    // Losing and regaining focus does not move it either.
    headless::setFocus(false);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    headless::setFocus(true);
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    GetCursorPos(&p);
    EXPECT_EQ(p.x, centre.x);
    EXPECT_EQ(p.y, centre.y);
}

TEST_F(Win32, WithoutFocusTheCursorIsReleasedAndMotionIgnored) {
    ShowCursor(FALSE);
    EXPECT_TRUE(headless::relativeMouse());
    headless::setFocus(false);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    EXPECT_FALSE(headless::relativeMouse());
    POINT before;
    GetCursorPos(&before);
    headless::moveMouse(50, 50);
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    POINT after;
    GetCursorPos(&after);
    EXPECT_EQ(after.x, before.x);
    EXPECT_EQ(after.y, before.y);
    EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON), 0);
    headless::setFocus(true);
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    EXPECT_TRUE(headless::relativeMouse());
}

TEST_F(Win32, VisibleCursorReportsTheRealPointer) {
    headless::setPointer(12, 34);
    POINT p;
    GetCursorPos(&p);
    ASSERT_TRUE(ScreenToClient(hWnd, &p));
    EXPECT_EQ(p.x, 12);
    EXPECT_EQ(p.y, 34);
}

TEST_F(Win32, AsyncKeyStateHasTheDownBitAndPressedSinceLastQuery) {
    EXPECT_EQ(GetAsyncKeyState('W'), 0);
    headless::holdKey('W', true);
    EXPECT_EQ(static_cast<unsigned short>(GetAsyncKeyState('W')), 0x8001u);
    EXPECT_EQ(static_cast<unsigned short>(GetAsyncKeyState('W')), 0x8000u);
    EXPECT_LT(GetAsyncKeyState('W'), 0);
}

TEST_F(Win32, MessageBoxAnswersAndRecords) {
    headless::queueAnswer(IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "質問", "確認", MB_YESNO), IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "質問", "確認", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "x", "Error", MB_OK), IDOK);
    ASSERT_EQ(headless::messageBoxes().size(), 3u);
    EXPECT_EQ(headless::messageBoxes()[0].text, "質問");
    EXPECT_EQ(headless::messageBoxes()[2].flags, MB_OK);
}

TEST_F(Win32, ClockMovesOneSixtiethPerFrame) {
    DWORD t0 = timeGetTime();
    EXPECT_EQ(timeBeginPeriod(1), UINT(TIMERR_NOERROR));
    EXPECT_EQ(timeGetTime(), t0);
}

}  // namespace
