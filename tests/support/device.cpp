// The headless device fixture.
#include "support/device.h"

#include <fstream>

#include "app/globals.h"
#include "tools/common/game_device.h"

namespace testing_support {

void DeviceTest::SetUp() {
    ResetForNewRun();
    g_hWnd = game_device::OpenWindow("test window");
    ASSERT_TRUE(g_hWnd);
    ASSERT_TRUE(game_device::CreateDevice(g_hWnd, true, g_d3d, g_device));
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
