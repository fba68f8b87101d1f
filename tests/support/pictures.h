// Small pictures for tests: PNG files written from ARGB words, and the two pictures start-up loads.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// A PNG of width × height from ARGB words (rows top-down), with its alpha channel.
std::string EncodePng(int width, int height, const std::vector<uint32_t>& argb);
void WritePng(const std::filesystem::path& path, int width, int height, const std::vector<uint32_t>& argb);

// data/texture/white.png (3 × 3 white) and data/texture/blood.png (640 × 480 translucent red) in the
// current folder, as start-up needs them.
void WriteStartTextures();

}  // namespace testing_support
