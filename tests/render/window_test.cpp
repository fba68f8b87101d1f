// The window as the player handles it, driven from outside with xdotool as a window manager or a person
// would: resized, the picture scaled with its 4:3 shape kept; Alt+Enter to full screen and back; the
// game's own view of it (a 640 × 480 client) unchanged throughout. (Mouse motion at twice the size is
// the game frame tests'.)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "gl/control.h"
#include "render/render_support.h"

using namespace render_test;

namespace {

std::string Output(const std::string& command) {
    std::string out;
    std::FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, p)) out += buffer;
    pclose(p);
    return out;
}

class PlayerWindow : public Device {
protected:
    void SetUp() override {
        ASSERT_EQ(std::system("command -v xdotool >/dev/null"), 0) << "xdotool is missing: run scripts/setup.sh";
        open();
        // The window SDL made for this process, as the X server knows it.
        std::string ids = Output("xdotool search --sync --onlyvisible --pid " + std::to_string(getpid()));
        window = ids.substr(0, ids.find('\n'));
        ASSERT_FALSE(window.empty());
    }

    void xdotool(const std::string& args) { ASSERT_EQ(std::system(("xdotool " + args).c_str()), 0) << args; }

    // One frame: the window's messages drained, then white, with black one-pixel stripes when asked
    // for (upright in the top half, across in the bottom half).
    void step() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            escapeSeen |= msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE;
        device->BeginScene();
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
        if (stripes) {
            for (DWORD x = 1; x < 640; x += 2) clearRect(x, 0, 1, 240);
            for (DWORD y = 241; y < 480; y += 2) clearRect(0, y, 640, 1);
            D3DVIEWPORT9 all{0, 0, 640, 480, 0.0f, 1.0f};
            device->SetViewport(&all);
        }
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    void clearRect(DWORD x, DWORD y, DWORD w, DWORD h) {
        D3DVIEWPORT9 v{x, y, w, h, 0.0f, 1.0f};
        device->SetViewport(&v);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    }

    // Runs frames until the window shows at the wanted size.
    bool showsAt(int wantW, int wantH) {
        auto start = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
            step();
            if (real::readWindow(pixels, w, h) && w == wantW && h == wantH) return true;
        }
        return false;
    }
    uint32_t px(int x, int y) const { return pixels[static_cast<size_t>(y) * w + x] & 0xFFFFFF; }

    // The picture's bounds in the window (drawn all white): white to its edges, black bars beyond them.
    void expectPictureAt(int left, int top, int width, int height) {
        const int midX = left + width / 2, midY = top + height / 2;
        const struct {
            int x, y;
            bool picture;
        } probes[] = {{left, midY, true},  {left + width - 1, midY, true}, {midX, top, true},
                      {midX, top + height - 1, true}, {left - 1, midY, false}, {left + width, midY, false},
                      {midX, top - 1, false}, {midX, top + height, false}};
        for (const auto& p : probes)
            if (p.x >= 0 && p.y >= 0 && p.x < w && p.y < h) {
                EXPECT_EQ(px(p.x, p.y), p.picture ? 0xFFFFFFu : 0u) << "at " << p.x << ", " << p.y;
            }
    }
    // The window resized from outside, as a window manager does, and frames run until it shows so.
    bool resizedTo(int width, int height) {
        xdotool("windowsize " + window + " " + std::to_string(width) + " " + std::to_string(height));
        return showsAt(width, height);
    }

    void expectClient640By480() {
        RECT client;
        ASSERT_TRUE(GetClientRect(hWnd, &client));
        EXPECT_EQ(client.right, 640);
        EXPECT_EQ(client.bottom, 480);
    }

    std::string window;
    bool stripes = false;
    bool escapeSeen = false;
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
};

TEST_F(PlayerWindow, ResizedWindowScalesThePictureWithItsShapeKeptSharpAtWholeMultiples) {
    // Wider than 4:3: 800 × 600 of picture with 100-pixel bars at the sides; taller: 500 × 375 with bars
    // above and below.
    ASSERT_TRUE(resizedTo(1000, 600)) << "window at " << w << " × " << h;
    expectPictureAt(100, 0, 800, 600);
    expectClient640By480();
    ASSERT_TRUE(resizedTo(500, 600)) << "window at " << w << " × " << h;
    expectPictureAt(0, 112, 500, 375);
    expectClient640By480();

    stripes = true;
    ASSERT_TRUE(resizedTo(1280, 960));
    // Twice the size: every stripe is exactly two pixels of pure black or pure white.
    int wrong = 0;
    for (int y = 0; y < 960; ++y)
        for (int x = 0; x < 1280; ++x) {
            bool black = y < 480 ? (x / 2) % 2 == 1 : (y / 2) % 2 == 1 && y / 2 > 240;
            wrong += px(x, y) != (black ? 0u : 0xFFFFFFu);
        }
    EXPECT_EQ(wrong, 0);
    // 1.5625 times: stripes fall between pixels and blend to grey.
    ASSERT_TRUE(resizedTo(1000, 750));
    int grey = 0;
    for (int x = 0; x < 1000; ++x) grey += px(x, 100) != 0 && px(x, 100) != 0xFFFFFFu;
    EXPECT_GT(grey, 100);
}

TEST_F(PlayerWindow, AltEnterSwitchesToFullScreenAndBackWithoutPressingEnter) {
    D3DDISPLAYMODE desktop;
    ASSERT_EQ(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop), D3D_OK);
    // Full screen: the largest 4:3 picture that fits the desktop, centred.
    const int fullW = static_cast<int>(desktop.Width), fullH = static_cast<int>(desktop.Height);
    const int fitW = std::min(fullW, fullH * 4 / 3), fitH = fitW * 3 / 4;
    ASSERT_TRUE(resizedTo(800, 600));
    xdotool("windowfocus --sync " + window);

    xdotool("keydown alt+Return");
    EXPECT_TRUE(showsAt(fullW, fullH)) << "window at " << w << " × " << h;
    expectPictureAt((fullW - fitW) / 2, (fullH - fitH) / 2, fitW, fitH);
    expectClient640By480();
    // The Enter of Alt+Enter is not the game's Enter, held or let go.
    EXPECT_EQ(GetAsyncKeyState(VK_RETURN), 0);
    xdotool("keyup alt+Return");
    step();
    EXPECT_EQ(GetAsyncKeyState(VK_RETURN), 0);
    // A plain Enter afterwards is.
    xdotool("keydown Return");
    step();
    EXPECT_NE(GetAsyncKeyState(VK_RETURN) & 0x8000, 0);
    xdotool("keyup Return");

    // Back to the window as the player left it.
    xdotool("key alt+Return");
    EXPECT_TRUE(showsAt(800, 600)) << "window at " << w << " × " << h;
    expectPictureAt(0, 0, 800, 600);
    expectClient640By480();

    // Escape still reaches the game from full screen.
    xdotool("key alt+Return");
    ASSERT_TRUE(showsAt(fullW, fullH));
    escapeSeen = false;
    xdotool("key Escape");
    auto start = std::chrono::steady_clock::now();
    while (!escapeSeen && std::chrono::steady_clock::now() - start < std::chrono::seconds(3)) step();
    EXPECT_TRUE(escapeSeen);
}

}  // namespace
