// The sound bank on the real OpenAL Soft backend, with OpenAL Soft's own outputs instead of a speaker:
// the null output (voices play and end in real time) and the wave-file writer (the samples that came
// out). Each test chooses its output before the first OpenAL call, so each runs in its own process.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "app/globals.h"
#include "sound/sound_bank.h"
#include "support/sound_files.h"

using namespace testing_support;

namespace {

// A folder of this test's own, entered for the test's length (the process ends with the test).
std::filesystem::path enterFreshFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillmoor-al-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return {};
    std::filesystem::current_path(pattern);
    return pattern;
}

int windowStandIn;

// A 441 Hz tone of `seconds` at 22050 Hz, 16-bit mono, three quarters of full scale.
std::vector<int16_t> tone(double seconds) {
    std::vector<int16_t> out(static_cast<size_t>(22050 * seconds));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<int16_t>(std::lround(24000 * std::sin(2 * M_PI * 441 * (i + 0.25) / 22050)));
    return out;
}

void writeTone(const std::string& name, const std::vector<int16_t>& samples) {
    WaveSpec wave;
    wave.rate = 22050;
    wave.samples.assign(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
    WriteSound(name, WaveBytes(wave));
}

bool playing(IDirectSoundBuffer8* voice) {
    DWORD status = 0;
    voice->GetStatus(&status);
    return (status & DSBSTATUS_PLAYING) != 0;
}

// Waits until the voice has stopped by itself; false if that takes longer than `limit` seconds.
bool waitForEnd(IDirectSoundBuffer8* voice, double limit) {
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(limit);
    while (playing(voice)) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class OpenAlOutput : public ::testing::Test {
protected:
    void SetUp() override {
        g_hWnd = reinterpret_cast<HWND>(&windowStandIn);
        g_fatalError = false;
    }
    void TearDown() override {
        delete g_soundBank;
        g_soundBank = nullptr;
        g_hWnd = nullptr;
        std::filesystem::current_path(std::filesystem::temp_directory_path());
        std::filesystem::remove_all(folder);
    }
    SoundBank& openBank() {
        g_soundBank = new SoundBank();
        EXPECT_TRUE(g_soundBank->CreateDevice());
        return *g_soundBank;
    }
    std::filesystem::path folder = enterFreshFolder();
};

TEST_F(OpenAlOutput, NullOutputPlaysASoundThatEndsAndResumesWhereItStopped) {
    setenv("ALSOFT_DRIVERS", "null", 1);
    writeTone("tone.wav", tone(0.3));
    SoundBank& bank = openBank();
    ASSERT_TRUE(bank.Load("tone.wav"));
    SoundEntry* e = bank.Find("tone.wav");  // voices added as plays overlap are the headless bank's tests
    // Stopped part-way, a voice keeps its place and goes on from there.
    EXPECT_TRUE(bank.Play("tone.wav", 0, 0));
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    EXPECT_TRUE(bank.Stop("tone.wav"));
    EXPECT_FALSE(playing(e->voices[0]));
    DWORD at = 0, again = 0;
    e->voices[0]->GetCurrentPosition(&at, nullptr);
    EXPECT_GT(at, 0u);
    EXPECT_LT(at, 22050u * 2 * 3 / 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    e->voices[0]->GetCurrentPosition(&again, nullptr);
    EXPECT_EQ(again, at);
    EXPECT_TRUE(bank.Play("tone.wav", 0, 0));
    EXPECT_TRUE(waitForEnd(e->voices[0], 3.0));

    // A looping voice is still busy long after its length.
    EXPECT_TRUE(bank.Play("tone.wav", 0, DSBPLAY_LOOPING));
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_TRUE(playing(e->voices[0]));
    e->StopAll();
    EXPECT_FALSE(playing(e->voices[0]));
    EXPECT_FALSE(g_fatalError);
}

// The float samples of a WAVE file from OpenAL Soft's wave writer: "fmt " right after "WAVE", the samples
// after "data" to the end of the file.
std::vector<float> readFloatWave(const std::string& bytes, int& channels) {
    uint16_t ch = 0, bits = 0;
    const size_t data = bytes.find("data", 36);
    if (data == std::string::npos || data + 8 > bytes.size() || bytes.compare(12, 4, "fmt ") != 0) return {};
    std::memcpy(&ch, bytes.data() + 22, 2);
    std::memcpy(&bits, bytes.data() + 34, 2);
    channels = bits == 32 ? ch : 0;
    std::vector<float> out((bytes.size() - data - 8) / 4);
    std::memcpy(out.data(), bytes.data() + data + 8, out.size() * 4);
    return out;
}

TEST_F(OpenAlOutput, WaveOutputHoldsTheSamplesAtTheSetVolume) {
    std::string outPath = (folder / "out.wav").string();
    std::string conf = (folder / "alsoft.conf").string();
    // Stereo float at the sound's own rate: no resampling, no dither, no limiter between us and the file.
    std::ofstream(conf) << "[general]\nchannels = stereo\nsample-type = float32\nfrequency = 22050\n"
                           "output-limiter = false\ndither = false\nhrtf = false\n[wave]\nfile = "
                        << outPath << "\n";
    setenv("ALSOFT_CONF", conf.c_str(), 1);
    setenv("ALSOFT_DRIVERS", "wave", 1);

    std::vector<int16_t> samples = tone(0.2);
    writeTone("tone.wav", samples);
    SoundBank& bank = openBank();
    ASSERT_TRUE(bank.Load("tone.wav"));
    const LONG volume = -600;
    auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(bank.Play("tone.wav", volume, 0));
    SoundEntry* e = bank.Find("tone.wav");
    EXPECT_TRUE(playing(e->voices[0]));
    EXPECT_TRUE(waitForEnd(e->voices[0], 3.0));
    // The writer keeps pace with the clock: the 0.2 s tone takes its time, it does not end at once.
    EXPECT_GT(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(), 0.15);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    delete g_soundBank;  // closing the device finishes the file
    g_soundBank = nullptr;

    int channels = 0;
    std::ifstream file(outPath, std::ios::binary);
    std::vector<float> out = readFloatWave(std::string(std::istreambuf_iterator<char>(file), {}), channels);
    ASSERT_EQ(channels, 2);
    size_t frames = out.size() / 2;
    size_t first = 0;
    while (first < frames && out[2 * first] == 0.0f) ++first;
    ASSERT_LT(first + samples.size(), frames) << "the sound is not in the file";
    const double gain = std::pow(10.0, volume / 2000.0);
    size_t mismatched = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        double expected = samples[i] / 32768.0 * gain;
        for (int c = 0; c < 2; ++c)
            if (std::fabs(out[2 * (first + i) + c] - expected) > 1e-3) ++mismatched;
    }
    EXPECT_EQ(mismatched, 0u) << "gain " << gain << ", first frame " << out[2 * first] << " for "
                              << samples[0] / 32768.0 * gain;
    // And silence after it.
    for (size_t i = first + samples.size(); i < frames; ++i) ASSERT_EQ(out[2 * i], 0.0f) << i;
}

TEST_F(OpenAlOutput, WithoutAnOutputDeviceCreationFails) {
    setenv("ALSOFT_DRIVERS", "no-such-output", 1);
    IDirectSound8* ds = nullptr;
    EXPECT_EQ(DirectSoundCreate8(nullptr, &ds, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(ds, nullptr);
}

}  // namespace
