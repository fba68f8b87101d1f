// Saving a frame as a PNG picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace replay {
bool WritePng(const std::string& path, const std::vector<uint32_t>& argb, int width, int height);
}
