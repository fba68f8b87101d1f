// WAVE files for tests.
#include "support/sound_files.h"

#include <fstream>

#include "sound/sound_bank.h"

namespace testing_support {

namespace {
std::string le(uint64_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}
}  // namespace

std::string Chunk(const std::string& tag, const std::string& body) {
    std::string out = tag + le(body.size(), 4) + body;
    if (body.size() % 2) out.push_back('\0');
    return out;
}

std::string WaveBytes(const WaveSpec& wave) {
    uint16_t align = static_cast<uint16_t>(wave.channels * wave.bits / 8);
    std::string record = le(wave.formatTag, 2) + le(wave.channels, 2) + le(wave.rate, 4) +
                         le(uint64_t(wave.rate) * align, 4) + le(align, 2) + le(wave.bits, 2);
    uint64_t size = wave.declaredSize < 0 ? wave.samples.size() : static_cast<uint64_t>(wave.declaredSize);
    std::string body = "WAVE" + wave.beforeFormat + Chunk("fmt ", record + wave.formatExtra) + wave.beforeData +
                       "data" + le(size, 4) + wave.samples;
    return "RIFF" + le(body.size(), 4) + body;
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void WriteSound(const std::string& name, const std::string& bytes) {
    std::filesystem::create_directories("data/sound");
    WriteBytes(std::filesystem::path("data/sound") / name, bytes);
}

void WriteStartSounds() {
    for (const char* name : kStartSounds) WriteSound(name, WaveBytes(WaveSpec{}));
}

}  // namespace testing_support
