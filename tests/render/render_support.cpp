// The rendering tests' window and device.
#include "render/render_support.h"

#include <cstdlib>
#include <cstring>
#include <functional>

#include "app/globals.h"
#include "gl/control.h"

namespace render_test {

void Device::open(bool fullScreen) {
    real::autoAnswerMessageBoxes(IDOK);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "Generic Game SDK Window";
    RegisterClassA(&wc);
    hWnd = CreateWindowExA(0, wc.lpszClassName, "Quillmoor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                           480, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hWnd, nullptr) << "no window: is DISPLAY set?";
    ShowWindow(hWnd, SW_SHOWDEFAULT);
    if (!fullScreen) {
        RECT r = {0, 0, 640, 480};
        AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
        SetWindowPos(hWnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW);
    }
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = 640;
    pp.BackBufferHeight = 480;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.SwapEffect = D3DSWAPEFFECT_FLIP;
    pp.Windowed = fullScreen ? FALSE : TRUE;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hWnd, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp,
                                &device),
              D3D_OK);
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
