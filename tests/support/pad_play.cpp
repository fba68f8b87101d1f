// The gamepad test bodies shared by the headless and the real window (see pad_play.h); each binary
// that links this file defines BackendControls().
#include "support/pad_play.h"

#include "tools/common/game_device.h"

namespace pad_test {

namespace {
constexpr int kGameKeys[] = {'W', 'A', 'S', 'D', 'E', VK_LEFT, VK_RIGHT, VK_SPACE, VK_RETURN, VK_LBUTTON, VK_RBUTTON};
constexpr int kNone = -1;
}  // namespace

void PadPlay::SetUp() {
    c.prepare();
    hWnd = game_device::OpenWindow("Generic Game SDK Window");
    ASSERT_NE(hWnd, nullptr) << "no window";
    ASSERT_TRUE(game_device::CreateDevice(hWnd, true, d3d, device));
    // A fifth of a second for a real window to take its focus.
    for (const DWORD start = timeGetTime(); timeGetTime() - start < 200;) Frame();
    ShowCursor(FALSE);  // mouse look, as in a stage
    ASSERT_TRUE(c.connect()) << "no pad could be plugged in";
    Frame();
}

void PadPlay::TearDown() {
    c.disconnect();
    ShowCursor(TRUE);
    if (device) device->Release();
    if (d3d) d3d->Release();
    if (hWnd) DestroyWindow(hWnd);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    c.finish();
}

Seen PadPlay::Frame() {
    Seen s;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) ++s.escapes;
    for (int vk : kGameKeys)
        if (GetAsyncKeyState(vk) & 0x8000) s.keys.insert(vk);
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(hWnd, &p);
    s.dx = p.x - 320;
    s.dy = p.y - 240;
    POINT centre{320, 240};
    ClientToScreen(hWnd, &centre);
    SetCursorPos(centre.x, centre.y);
    s.ms = timeGetTime();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    return s;
}

TEST_P(PadKeys, ReachesTheGameAsItsKeys) {
    const KeyCase& k = GetParam();
    if (k.button != kNone) c.button(k.button, true);
    if (k.axis == pad::LeftTrigger || k.axis == pad::RightTrigger) c.axis(k.axis, k.x);
    if (k.axis == pad::LeftX || k.axis == pad::RightX) Stick(k.axis, k.x, k.y);
    EXPECT_EQ(Frame().keys, k.keys);
    EXPECT_EQ(Frame().keys, k.keys);  // and holds them while it is held
}

// The left stick's dead zone is 9830 (30 % of 32767) around the centre; its eight ways are 45 degrees
// wide, so W alone reaches 22.5 degrees either side of straight up (forward) and W with D lies between
// 22.5 and 67.5. Points at 20 000 from the centre: 20 degrees right of up is (sin 20, -cos 20) × 20 000 =
// (6840, -18794), 25 degrees is (8452, -18126). A, the right trigger and the stick full up are the pad
// replay's (pad_replay_test.sh), a trigger short of its threshold the wavering trigger's below.
INSTANTIATE_TEST_SUITE_P(
    Mapping, PadKeys,
    ::testing::Values(KeyCase{"X", pad::X, kNone, 0, 0, {'E'}}, KeyCase{"Start", pad::Start, kNone, 0, 0, {VK_RETURN}},
                      KeyCase{"DpadLeft", pad::DpadLeft, kNone, 0, 0, {VK_LEFT}},
                      KeyCase{"DpadRight", pad::DpadRight, kNone, 0, 0, {VK_RIGHT}},
                      KeyCase{"LeftShoulder", pad::LeftShoulder, kNone, 0, 0, {VK_RBUTTON}},
                      KeyCase{"LeftTrigger", kNone, pad::LeftTrigger, 32767, 0, {VK_RBUTTON}},
                      KeyCase{"B", pad::B, kNone, 0, 0, {}}, KeyCase{"Y", pad::Y, kNone, 0, 0, {}},
                      KeyCase{"RightShoulder", pad::RightShoulder, kNone, 0, 0, {}},
                      KeyCase{"Back", pad::Back, kNone, 0, 0, {}}, KeyCase{"DpadUp", pad::DpadUp, kNone, 0, 0, {}},
                      KeyCase{"StickDown", kNone, pad::LeftX, 0, 32767, {'S'}},
                      KeyCase{"StickLeft", kNone, pad::LeftX, -32768, 0, {'A'}},
                      KeyCase{"StickRight", kNone, pad::LeftX, 32767, 0, {'D'}},
                      KeyCase{"UpRight", kNone, pad::LeftX, 23170, -23170, {'W', 'D'}},
                      KeyCase{"DownLeft", kNone, pad::LeftX, -23170, 23170, {'S', 'A'}},
                      KeyCase{"TwentyDegreesRightOfUp", kNone, pad::LeftX, 6840, -18794, {'W'}},
                      KeyCase{"TwentyFiveDegreesRightOfUp", kNone, pad::LeftX, 8452, -18126, {'W', 'D'}},
                      KeyCase{"JustPastTheDeadZone", kNone, pad::LeftX, 0, -9831, {'W'}},
                      KeyCase{"OnTheDeadZone", kNone, pad::LeftX, 0, -9830, {}},
                      KeyCase{"DiagonalInsideTheDeadZone", kNone, pad::LeftX, 6900, -6900, {}},  // 9758 long
                      KeyCase{"RightStick", kNone, pad::RightX, 32767, 32767, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(PadLook, MovesTheCursorByItsCurve) {
    const LookCase& k = GetParam();
    Stick(pad::RightX, k.x, k.y);
    std::vector<int> dx, dy;
    for (size_t i = 0; i < k.dx.size(); ++i) {
        const Seen s = Frame();
        dx.push_back(s.dx);
        dy.push_back(s.dy);
        EXPECT_TRUE(s.keys.empty());
    }
    EXPECT_EQ(dx, k.dx);
    EXPECT_EQ(dy, k.dy);
}

// The right stick's dead zone is 6553 (20 %); past it t = (length - 6553) / 26214 runs to 1 at full
// travel, and a frame moves 40 t² pixels, carried in 1/1024 pixel (rounded) and handed on in whole
// pixels towards zero:
//   (a full push, t = 1, 40 px, and 19660, t = 1/2, 10 px, are the pad replay's look: pad_replay_test.sh)
//   15291: t = 8738 / 26214 = 1/3, 40960 / 9 = 4551.1 → 4551 a frame; sums 4551, 9102, 13653, 18204 hold
//     4, 8, 13, 17 pixels, so 4, 4, 5, 4 a frame (the same, negated, upwards);
//   7864: t = 1311 / 26214 = 0.05001, 40960 t² = 102.4 → 102 a frame: the first pixel after 11 frames
//     (1122 ≥ 1024), a fine aim of 1/15 degree at the starting divisor;
//   (-23170, 23170): 32767.4 long, so t = 1 and each axis gets 40960 × 0.70711 = 28963: sums of 28963
//     hold 28, 56, 84, 113 pixels;
//   inside the dead zone: (6553, 0), and (4600, -4600) at 6505 long.
INSTANTIATE_TEST_SUITE_P(
    Curve, PadLook,
    ::testing::Values(LookCase{"ThirdRight", 15291, 0, {4, 4, 5, 4}, {0, 0, 0, 0}},
                      LookCase{"ThirdUp", 0, -15291, {0, 0, 0, 0}, {-4, -4, -5, -4}},
                      LookCase{"Slight", 7864, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, std::vector<int>(11, 0)},
                      LookCase{"FullDownLeft", -23170, 23170, {-28, -28, -28, -29}, {28, 28, 28, 29}},
                      LookCase{"OnTheDeadZone", 6553, 0, {0, 0, 0, 0}, {0, 0, 0, 0}},
                      LookCase{"DiagonalInsideTheDeadZone", 4600, -4600, {0, 0, 0, 0}, {0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PadPlay, ATriggerFiresOnceWhileItWavers) {
    // Down past 16384, up again only under 8192: a trigger wavering between them is one press.
    const std::pair<int, bool> steps[] = {{16000, false}, {20000, true},  {12000, true}, {17000, true},
                                          {8000, false},  {12000, false}, {16385, true}};
    for (auto [value, down] : steps) {
        c.axis(pad::RightTrigger, value);
        EXPECT_EQ(Frame().keys.count(VK_LBUTTON), down ? 1u : 0u) << value;
    }
}

TEST_F(PadPlay, BackHeldForASecondQuitsOnceAndATapDoesNot) {
    c.button(pad::Back, true);
    int escapes = 0;
    for (int i = 0; i < 15; ++i) escapes += Frame().escapes;  // a quarter of a second, or less
    c.button(pad::Back, false);
    for (int i = 0; i < 60; ++i) escapes += Frame().escapes;
    EXPECT_EQ(escapes, 0);

    c.button(pad::Back, true);
    const DWORD pressed = Frame().ms;
    DWORD quit = 0;
    for (Seen s = Frame(); s.ms - pressed < 1500; s = Frame()) {
        escapes += s.escapes;
        if (s.escapes && !quit) quit = s.ms;
    }
    EXPECT_EQ(escapes, 1);  // once, however long it is held
    // The Escape comes with the first frame a second after the press was seen (the real clock is read
    // again a moment after the pad, so it may see a millisecond less).
    EXPECT_GE(quit - pressed, 998u);
    EXPECT_LE(quit - pressed, 1200u);
}

TEST_F(PadPlay, APadPulledOutLetsGoAndOneRePluggedStartsAtRest) {
    Stick(pad::LeftX, 0, -32768);
    Stick(pad::RightX, 32767, 0);
    c.button(pad::A, true);
    Seen s = Frame();
    EXPECT_EQ(s.keys, (std::set<int>{'W', VK_SPACE}));
    EXPECT_EQ(s.dx, 40);
    c.disconnect();
    for (int i = 0; i < 3; ++i) {
        s = Frame();
        EXPECT_TRUE(s.keys.empty());
        EXPECT_EQ(s.dx, 0);
    }
    ASSERT_TRUE(c.connect());
    s = Frame();
    EXPECT_TRUE(s.keys.empty());
    EXPECT_EQ(s.dx, 0);
    c.button(pad::X, true);
    EXPECT_EQ(Frame().keys, (std::set<int>{'E'}));
}

TEST_F(PadPlay, AKeyIsDownWhileAnySourceHoldsIt) {
    c.holdKey('W', true);
    Stick(pad::LeftX, 0, -32768);
    EXPECT_EQ(Frame().keys, (std::set<int>{'W'}));
    Stick(pad::LeftX, 0, 0);
    EXPECT_EQ(Frame().keys, (std::set<int>{'W'}));
    c.holdKey('W', false);
    EXPECT_TRUE(Frame().keys.empty());
}

}  // namespace pad_test
