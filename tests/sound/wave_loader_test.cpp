// Reading WAVE files: the chunk layouts that load, the ones refused, what the buffer then holds, and
// the box, log line and end of the run that a broken start sound causes.
#include <regex>

#include "sound/sound_fixture.h"
#include "support/pictures.h"
#include "support/start_content.h"

using namespace testing_support;

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
    // Loads `bytes` as "test.wav"; the entry, or null when the bank refused it.
    SoundEntry* load(const std::string& bytes) {
        WriteSound("test.wav", bytes);
        if (!bank) openBank();
        return bank->Load("test.wav") ? bank->Find("test.wav") : nullptr;
    }
    // A fresh bank, log and platform, for the next case of a table.
    void startOver() {
        delete bank;
        bank = nullptr;
        headless::reset();
        g_fatalError = false;
        g_log.close();
        std::filesystem::remove("Log.txt");
        g_log.open("Log.txt");
    }
    void expectRefused(const std::string& boxText) {
        ASSERT_EQ(headless::messageBoxes().size(), 1u);
        EXPECT_EQ(headless::messageBoxes()[0].text, boxText);
        EXPECT_EQ(headless::messageBoxes()[0].title, "Error");
        EXPECT_EQ(headless::messageBoxes()[0].flags, MB_OK);
        EXPECT_TRUE(std::regex_match(log(), std::regex(LogLinePattern(" ||  Error:" + boxText))));
        EXPECT_TRUE(g_fatalError);
        EXPECT_EQ(bank->Find("test.wav"), nullptr);
    }
};

TEST_F(WaveLoader, PlainFileGivesAMasterWithTheSamplesAndOneVoice) {
    WaveSpec wave;
    wave.channels = 2;
    wave.rate = 44100;
    wave.samples = "abcdefgh";
    SoundEntry* e = load(WaveBytes(wave));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(masterBytes(e), "abcdefgh");
    ASSERT_EQ(e->voices.size(), 1u);
    EXPECT_NE(e->voices[0], e->master);
    WAVEFORMATEX f{};
    EXPECT_EQ(e->voices[0]->GetFormat(&f, sizeof f, nullptr), DS_OK);
    EXPECT_EQ(f.nChannels, 2);
    EXPECT_EQ(f.nSamplesPerSec, 44100u);
    EXPECT_EQ(f.wBitsPerSample, 16);
    EXPECT_TRUE(headless::messageBoxes().empty());
    EXPECT_FALSE(g_fatalError);
}

TEST_F(WaveLoader, LongerFormatChunkAndChunksBeforeTheDataLoad) {
    WaveSpec longFormat;
    longFormat.formatExtra = std::string("\x00\x00\x01\x02", 4);
    longFormat.samples = "ABCD";
    EXPECT_EQ(masterBytes(load(WaveBytes(longFormat))), "ABCD");

    delete bank;
    bank = nullptr;
    WaveSpec list;
    list.beforeData = Chunk("LIST", "INFOISFT" + std::string("\x05\0\0\0tool\0", 9)) + Chunk("fact", "abcx");
    list.samples = "WXYZ";
    EXPECT_EQ(masterBytes(load(WaveBytes(list))), "WXYZ");
    EXPECT_TRUE(headless::messageBoxes().empty());
}

TEST_F(WaveLoader, ChunkBeforeTheFormatIsNotAWaveFile) {
    WaveSpec wave;
    wave.beforeFormat = Chunk("LIST", "INFO");
    EXPECT_EQ(load(WaveBytes(wave)), nullptr);
    expectRefused("「test.wav」はWaveファイルではありません");
}

TEST_F(WaveLoader, WrongOrTruncatedHeadersAreNotWaveFiles) {
    std::string good = WaveBytes(WaveSpec{});
    std::string rifx = good;
    rifx[3] = 'X';
    std::string wave = good;
    wave[14] = 'X';  // "WAVEfmX "
    size_t data = good.find("data");
    const std::string cases[] = {"",   "RIF", good.substr(0, 4),        good.substr(0, 15),
                                 rifx, wave,  good.substr(0, data + 3), good.substr(0, data + 6)};
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes.size());
        startOver();
        EXPECT_EQ(load(bytes), nullptr);
        expectRefused("「test.wav」はWaveファイルではありません");
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
    g_log.flush();
    std::string want = Utf8ToCp932(" ||  Error:「") + name + Utf8ToCp932("」の読み込みに失敗しました") + "\r\n";
    std::string bytes = ReadFile("Log.txt");
    ASSERT_EQ(bytes.size(), std::string("2026/12/06(Sun) 16:10:54").size() + want.size());
    EXPECT_EQ(bytes.substr(bytes.size() - want.size()), want);
    ASSERT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_EQ(headless::messageBoxes()[0].text, "「" + name + "」の読み込みに失敗しました");
}

TEST_F(WaveLoader, ShortFileLeavesTheDeclaredLengthWithASilentTail) {
    WaveSpec sixteen;
    sixteen.samples = "1234";
    sixteen.declaredSize = 12;
    EXPECT_EQ(masterBytes(load(WaveBytes(sixteen))), std::string("1234") + std::string(8, '\0'));

    delete bank;
    bank = nullptr;
    WaveSpec eight;
    eight.bits = 8;
    eight.samples = "12";
    eight.declaredSize = 6;
    EXPECT_EQ(masterBytes(load(WaveBytes(eight))), std::string("12") + std::string(4, '\x80'));
    EXPECT_FALSE(g_fatalError);
}

TEST_F(WaveLoader, SizesAndFormatsTheDeviceRefusesFailAsReadFailures) {
    WaveSpec huge;
    huge.declaredSize = 0x7FFFFFF0;  // far beyond what a buffer may hold: refused, nothing allocated
    EXPECT_EQ(load(WaveBytes(huge)), nullptr);
    expectRefused("「test.wav」の読み込みに失敗しました");

    for (int64_t size : {0, 3}) {
        startOver();
        WaveSpec tiny;
        tiny.declaredSize = size;
        EXPECT_EQ(load(WaveBytes(tiny)), nullptr);
        expectRefused("「test.wav」の読み込みに失敗しました");
    }
    // Formats the device cannot play are refused the same way.
    WaveSpec twentyFour, floating, threeChannels;
    twentyFour.bits = 24;
    floating.formatTag = 3;
    floating.bits = 32;
    threeChannels.channels = 3;
    for (const WaveSpec& wave : {twentyFour, floating, threeChannels}) {
        startOver();
        EXPECT_EQ(load(WaveBytes(wave)), nullptr);
        expectRefused("「test.wav」の読み込みに失敗しました");
    }
}

// Whole runs with one broken start sound: the box, the log line, and the abnormal end.
class BrokenStartSound : public ::testing::Test {
protected:
    void SetUp() override {
        ResetForNewRun();
        WriteStartContent();
    }
    void TearDown() override { headless::reset(); }
    void expectRunEndsWith(const std::string& boxText, size_t soundsLoaded) {
        size_t loadedAtStart = 0;
        headless::onFrame([&](int frame) {
            if (frame == 0) loadedAtStart = g_soundBank->entries.size();
            if (frame == 5) headless::pushKeyDown(VK_ESCAPE);
        });
        EXPECT_EQ(RunGame(), 1);
        EXPECT_LE(headless::frameCount(), 1);
        ASSERT_EQ(headless::messageBoxes().size(), 2u);
        EXPECT_EQ(headless::messageBoxes()[1].text, boxText);
        EXPECT_EQ(headless::messageBoxes()[1].title, "Error");
        EXPECT_EQ(headless::messageBoxes()[1].flags, MB_OK);
        EXPECT_TRUE(std::regex_match(ReadFile("Log.txt"), std::regex(LogLinePattern(" ||  Error:" + boxText) +
                                                                     EndOfRunPattern(" ||  異常終了"))));
        // The other start sounds were still loaded.
        EXPECT_EQ(loadedAtStart, soundsLoaded);
        EXPECT_FALSE(headless::audioOutputOpen());
    }
    TempFolder folder;
};

TEST_F(BrokenStartSound, MissingFile) {
    std::filesystem::remove("data/sound/mecha07.wav");
    expectRunEndsWith("「mecha07.wav」の読み込みに失敗しました", 13);
}

TEST_F(BrokenStartSound, FileWithoutData) {
    std::string bytes = WaveBytes(WaveSpec{});
    bytes.replace(bytes.find("data"), 4, "date");
    WriteSound("cursor37.wav", bytes);
    expectRunEndsWith("「cursor37.wav」はWaveファイルではありません", 13);
}

TEST_F(BrokenStartSound, TagStartingInsideAFailedMatchIsMissed) {
    // "ddata": the first 'd' takes "dat" with it, so the scan never sees the real tag begin.
    WaveSpec wave;
    wave.beforeData = "d";
    WriteSound("bosu05.wav", WaveBytes(wave));
    expectRunEndsWith("「bosu05.wav」はWaveファイルではありません", 13);
}

}  // namespace
