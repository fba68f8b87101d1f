// WAVE files for tests: a builder for valid and deliberately broken variants, and the fifteen start
// sounds the game loads, written into data/sound/ of the current folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace testing_support {

struct WaveSpec {
    uint16_t formatTag = 1;
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t bits = 16;
    std::string samples = std::string(64, '\x10');  // the bytes after the data size
    std::string formatExtra;                        // bytes after the 16-byte format record, inside "fmt "
    std::string beforeFormat;                       // whole chunks between "WAVE" and "fmt "
    std::string beforeData;                         // whole chunks between "fmt " and "data"
    int64_t declaredSize = -1;                      // the data size written; -1: the size of `samples`
};

// A RIFF chunk: tag, little-endian size, body (and a pad byte for an odd size).
std::string Chunk(const std::string& tag, const std::string& body);
std::string WaveBytes(const WaveSpec& wave);

void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// Writes "data/sound/" + name (creating the folders).
void WriteSound(const std::string& name, const std::string& bytes);
// The fifteen start sounds: short valid files, each a few frames of 16-bit mono.
void WriteStartSounds();

}  // namespace testing_support
