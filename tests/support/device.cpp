// The headless device fixture.
#include "support/device.h"

#include <fstream>

#include "app/globals.h"

namespace testing_support {

void DeviceTest::SetUp() {
    ResetForNewRun();
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "test window";
    RegisterClassA(&wc);
    g_hWnd = CreateWindowExA(0, "test window", "test", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                             nullptr);
    g_d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS params{};
    params.BackBufferWidth = 640;
    params.BackBufferHeight = 480;
    params.Windowed = TRUE;
    params.EnableAutoDepthStencil = TRUE;
    params.AutoDepthStencilFormat = D3DFMT_D16;
    ASSERT_TRUE(g_hWnd);
    ASSERT_TRUE(g_d3d);
    ASSERT_EQ(g_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, g_hWnd, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                  &params, &g_device),
              D3D_OK);
}

void DeviceTest::TearDown() {
    // Everything a test made must have been released: the device goes with its last reference.
    if (g_device) {
        EXPECT_EQ(g_device->Release(), 0u);
    }
    g_device = nullptr;
    if (g_d3d) g_d3d->Release();
    g_d3d = nullptr;
    headless::reset();
}

void WriteText(const std::string& path, const std::string& text) {
    std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

}  // namespace testing_support
