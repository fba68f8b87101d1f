// The rendering tests' window and device.
#include "render/render_support.h"

#include <d3dx9.h>

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

std::vector<uint32_t> Texels(IDirect3DTexture9* texture, UINT& width, UINT& height) {
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    width = desc.Width;
    height = desc.Height;
    D3DLOCKED_RECT locked;
    texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY);
    const uint32_t* texels = static_cast<uint32_t*>(locked.pBits);
    std::vector<uint32_t> out(texels, texels + static_cast<size_t>(width) * height);
    texture->UnlockRect(0);
    return out;
}

std::vector<uint32_t> LoadPicture(const char* file, UINT& width, UINT& height) {
    IDirect3DTexture9* texture = nullptr;
    if (FAILED(D3DXCreateTextureFromFileExA(g_device, file, D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, 1, 0,
                                            D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_DEFAULT, 0,
                                            nullptr, nullptr, &texture)))
        return {};
    std::vector<uint32_t> argb = Texels(texture, width, height);
    texture->Release();
    return argb;
}

}  // namespace render_test
