// A real window and OpenGL device for rendering tests, and pixel helpers.
#pragma once

#include <d3d9.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace render_test {

// Opens the game's window (640 × 480 client, or full screen) and a device with the game's fixed set-up.
class Device : public ::testing::Test {
protected:
    void open(bool fullScreen = false);
    void TearDown() override;

    // Begin, draw, end, read the back buffer (before Present).
    std::vector<uint32_t> frame(const std::function<void()>& draw);
    void clear(D3DCOLOR c) { device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, c, 1.0f, 0); }

    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    HWND hWnd = nullptr;
};

inline int red(uint32_t c) { return (c >> 16) & 0xFF; }
inline int green(uint32_t c) { return (c >> 8) & 0xFF; }
inline int blue(uint32_t c) { return c & 0xFF; }
inline uint32_t at(const std::vector<uint32_t>& p, int x, int y) { return p[static_cast<size_t>(y) * 640 + x]; }

// Expects each channel within `tolerance` of the wanted one.
::testing::AssertionResult Near(uint32_t got, int r, int g, int b, int tolerance = 2);

// Runs the real WinMain in the source folder (which holds the generated data/) with scripted input and
// the start-up question answered "no", for `frames` frames, calling `hook` at the start of each.
void RunGame(int frames, const std::function<void(int)>& hook);

// A w × h ARGB texture with `texel(x, y)` in each texel.
IDirect3DTexture9* FilledTexture(int w, int h, uint32_t (*texel)(int, int));
// A texture's texels as ARGB words, rows top-down.
std::vector<uint32_t> Texels(IDirect3DTexture9* texture, UINT& width, UINT& height);
// A picture as the game loads it, through the game's own loader on g_device, at its own size; empty if
// it cannot be loaded.
std::vector<uint32_t> LoadPicture(const char* file, UINT& width, UINT& height);

}  // namespace render_test
