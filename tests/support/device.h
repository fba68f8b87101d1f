// A headless device in g_device for tests of what draws and loads through it, inside a fresh
// temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/game_run.h"

namespace testing_support {

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    TempFolder folder;
};

void WriteText(const std::string& path, const std::string& text);

}  // namespace testing_support
