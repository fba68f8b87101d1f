// The rendering tests' window and device.
#include "render/render_support.h"

#include <cstdlib>
#include <cstring>
#include <functional>

#include "app/globals.h"
#include "gl/control.h"
#include "tools/common/game_device.h"

namespace render_test {

void Device::open(bool fullScreen) {
    real::autoAnswerMessageBoxes(IDOK);
    hWnd = game_device::OpenWindow("Generic Game SDK Window");
    ASSERT_NE(hWnd, nullptr) << "no window: is DISPLAY set?";
    ASSERT_TRUE(game_device::CreateDevice(hWnd, !fullScreen, d3d, device));
    g_device = device;
    SetUpRenderStates();
}

void Device::TearDown() {
    real::setUnpaced(false);
    if (device) device->Release();
    if (d3d) d3d->Release();
    g_device = nullptr;
    device = nullptr;
    d3d = nullptr;
    if (hWnd) DestroyWindow(hWnd);
    hWnd = nullptr;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

std::vector<uint32_t> Device::frame(const std::function<void()>& draw) {
    device->BeginScene();
    draw();
    device->EndScene();
    std::vector<uint32_t> pixels;
    EXPECT_TRUE(real::readBackBuffer(pixels));
    device->Present(nullptr, nullptr, nullptr, nullptr);
    return pixels;
}

::testing::AssertionResult Near(uint32_t got, int r, int g, int b, int tolerance) {
    if (std::abs(red(got) - r) <= tolerance && std::abs(green(got) - g) <= tolerance &&
        std::abs(blue(got) - b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << red(got) << ", " << green(got) << ", " << blue(got)
                                         << "), wanted (" << r << ", " << g << ", " << b << ") ±" << tolerance;
}

D3DMATRIX Identity() {
    D3DMATRIX m;
    std::memset(&m, 0, sizeof m);
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

}  // namespace render_test
