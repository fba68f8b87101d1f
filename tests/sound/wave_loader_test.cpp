// Reading WAVE files: the chunk layouts that load, the ones refused, what the buffer then holds, and
// the box and log line of each refusal.
#include <regex>

#include "sound/sound_fixture.h"
#include "support/pictures.h"

using namespace testing_support;

// The wave specs below name only the fields they change; the rest keep their defaults on purpose.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

// The bytes of the master buffer, as the loader left them.
std::string masterBytes(SoundEntry* entry) {
    void* p = nullptr;
    DWORD n = 0;
    if (!entry || FAILED(entry->master->Lock(0, 0, &p, &n, nullptr, nullptr, DSBLOCK_ENTIREBUFFER))) return "";
    std::string bytes(static_cast<char*>(p), n);
    entry->master->Unlock(p, n, nullptr, 0);
    return bytes;
}

class WaveLoader : public SoundTest {
protected:
    // Loads `bytes` as "test.wav" into a fresh bank, log and platform; the entry, or null when refused.
    SoundEntry* load(const std::string& bytes) {
        delete bank;
        bank = nullptr;
        headless::reset();
        g_fatalError = false;
        g_log.close();
        std::filesystem::remove("Log.txt");
        g_log.open("Log.txt");
        WriteSound("test.wav", bytes);
        openBank();
        return bank->Load("test.wav") ? bank->Find("test.wav") : nullptr;
    }
    void expectRefused(const std::string& boxText) {
        ASSERT_EQ(headless::messageBoxes().size(), 1u);
        const auto& box = headless::messageBoxes()[0];
        EXPECT_EQ(std::tuple(box.text, box.title, box.flags),
                  std::tuple(boxText, std::string("Error"), unsigned(MB_OK)));
        EXPECT_TRUE(std::regex_match(log(), std::regex(LogLinePattern(" ||  Error:" + boxText))));
        EXPECT_TRUE(g_fatalError);
        EXPECT_EQ(bank->Find("test.wav"), nullptr);
    }
};

TEST_F(WaveLoader, FilesLoadIntoAMasterWithTheirSamplesAndFormatAndOneVoice) {
    const std::string list = Chunk("LIST", "INFOISFT" + std::string("\x05\0\0\0tool\0", 9)) + Chunk("fact", "abcx");
    const std::pair<WaveSpec, std::string> cases[] = {
        {{.channels = 2, .rate = 44100, .samples = "abcdefgh"}, "abcdefgh"},
        {{.samples = "ABCD", .formatExtra = std::string("\x00\x00\x01\x02", 4)}, "ABCD"},  // a longer format chunk
        {{.samples = "WXYZ", .beforeData = list}, "WXYZ"},
        // Shorter than declared: the rest of the buffer stays silent, 0 for 16 bits and 0x80 for 8.
        {{.samples = "1234", .declaredSize = 12}, std::string("1234") + std::string(8, '\0')},
        {{.bits = 8, .samples = "12", .declaredSize = 6}, std::string("12") + std::string(4, '\x80')},
    };
    for (const auto& [wave, bytes] : cases) {
        SCOPED_TRACE(bytes);
        SoundEntry* e = load(WaveBytes(wave));
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(masterBytes(e), bytes);
        ASSERT_EQ(e->voices.size(), 1u);  // a voice of its own: the master is never played (the bank's tests)
        WAVEFORMATEX f{};
        EXPECT_EQ(e->voices[0]->GetFormat(&f, sizeof f, nullptr), DS_OK);
        EXPECT_EQ(std::tuple(f.nChannels, f.nSamplesPerSec, f.wBitsPerSample),
                  std::tuple(wave.channels, wave.rate, wave.bits));
        EXPECT_TRUE(headless::messageBoxes().empty());
        EXPECT_FALSE(g_fatalError);
    }
}

TEST_F(WaveLoader, WrongOrTruncatedHeadersAreNotWaveFiles) {
    std::string good = WaveBytes(WaveSpec{});
    std::string rifx = good;
    rifx[3] = 'X';
    std::string wave = good;
    wave[14] = 'X';  // "WAVEfmX "
    std::string date = good;
    size_t data = good.find("data");
    date.replace(data, 4, "date");
    // The last has "ddata": the first 'd' takes "dat" with it, so the scan never sees the tag begin.
    const std::string cases[] = {"",
                                 "RIF",
                                 good.substr(0, 4),
                                 good.substr(0, 15),
                                 rifx,
                                 wave,
                                 good.substr(0, data + 3),
                                 good.substr(0, data + 6),
                                 date,
                                 WaveBytes(WaveSpec{.beforeFormat = Chunk("LIST", "INFO")}),
                                 WaveBytes(WaveSpec{.beforeData = "d"})};
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes.size());
        EXPECT_EQ(load(bytes), nullptr);
        expectRefused("「test.wav」はWaveファイルではありません");
    }
}

TEST_F(WaveLoader, SizesAndFormatsTheDeviceRefusesFailAsReadFailures) {
    const WaveSpec cases[] = {
        {.declaredSize = 0x7FFFFFF0},  // far beyond what a buffer may hold: refused, nothing allocated
        {.declaredSize = 0},
        {.declaredSize = 3},
        {.bits = 24},
        {.formatTag = 3, .bits = 32},  // floating point
        {.channels = 3},
    };
    for (const WaveSpec& wave : cases) {
        SCOPED_TRACE(WaveBytes(wave).substr(20, 16));
        EXPECT_EQ(load(WaveBytes(wave)), nullptr);
        expectRefused("「test.wav」の読み込みに失敗しました");
    }
}

TEST_F(WaveLoader, AFolderNamedLikeASoundCannotBeRead) {
    std::filesystem::create_directories("data/sound/test.wav");
    openBank();
    EXPECT_FALSE(bank->Load("test.wav"));
    expectRefused("「test.wav」の読み込みに失敗しました");
}

TEST_F(WaveLoader, ANameInCodePage932GoesIntoTheLogByteForByte) {
    // "ﾃｽﾄ.wav" in half-width katakana, code page 932: C3 BD C4, whose start happens to be valid UTF-8.
    const std::string name = "\xC3\xBD\xC4.wav";
    openBank();
    EXPECT_FALSE(bank->Load(name));
    // The one line after its time stamp, as the log (diag/log) writes it.
    EXPECT_EQ(log().substr(std::string("2026/12/06(Sun) 16:10:54").size()),
              Utf8ToCp932(" ||  Error:「") + name + Utf8ToCp932("」の読み込みに失敗しました") + "\r\n");
    EXPECT_EQ(headless::messageBoxes().at(0).text, "「" + name + "」の読み込みに失敗しました");
}

}  // namespace
