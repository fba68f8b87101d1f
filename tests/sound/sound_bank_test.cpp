// The sound bank: voices reused or added as sounds overlap, stopping, names not loaded, loading twice,
// the device and its failures, and what the destructor leaves.
#include <regex>

#include "sound/sound_fixture.h"
#include "support/pictures.h"
#include "support/start_content.h"

using namespace testing_support;

namespace {

class Bank : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        WaveSpec oneSecond;
        oneSecond.rate = 22050;
        oneSecond.samples = std::string(22050 * 2, '\x20');
        WriteSound("step.wav", WaveBytes(oneSecond));
        openBank();
        ASSERT_TRUE(bank->Load("step.wav"));
        entry = bank->Find("step.wav");
        ASSERT_NE(entry, nullptr);
    }
    static bool playing(IDirectSoundBuffer8* voice) {
        DWORD status = 0;
        voice->GetStatus(&status);
        return (status & DSBSTATUS_PLAYING) != 0;
    }
    std::vector<bool> playingVoices() const {
        std::vector<bool> out;
        for (auto* v : entry->voices) out.push_back(playing(v));
        return out;
    }
    SoundEntry* entry = nullptr;
};

TEST_F(Bank, OverlappingPlaysAddAVoiceAndAFreeVoiceIsReused) {
    ASSERT_EQ(entry->voices.size(), 1u);
    IDirectSoundBuffer8* first = entry->voices[0];
    EXPECT_TRUE(bank->Play("step.wav", -1000, 0));
    EXPECT_EQ(playingVoices(), (std::vector<bool>{true}));
    headless::advanceSound(400);
    EXPECT_TRUE(bank->Play("step.wav", -2000, DSBPLAY_LOOPING));
    ASSERT_EQ(playingVoices(), (std::vector<bool>{true, true}));  // voice 1 is read next
    LONG v = 0;
    entry->voices[1]->GetVolume(&v);
    EXPECT_EQ(v, -2000);
    headless::advanceSound(5700);  // the first has ended; the looping voice stays busy long after its second
    EXPECT_EQ(playingVoices(), (std::vector<bool>{false, true}));

    EXPECT_TRUE(bank->Play("step.wav", -500, 0));
    EXPECT_EQ(entry->voices[0], first);
    EXPECT_EQ(playingVoices(), (std::vector<bool>{true, true}));  // its volume: the OpenAL wave test
    EXPECT_TRUE(bank->Play("step.wav", -500, 0));  // both busy: a third
    EXPECT_EQ(playingVoices(), (std::vector<bool>{true, true, true}));
    EXPECT_FALSE(playing(entry->master));  // the master is never played
}

TEST_F(Bank, StopStopsEveryVoiceWhereItIsAndTheNextPlayGoesOnFromThere) {
    bank->Play("step.wav", 0, DSBPLAY_LOOPING);
    headless::advanceSound(250);
    bank->Play("step.wav", 0, 0);
    headless::advanceSound(250);
    EXPECT_TRUE(bank->Stop("step.wav"));
    EXPECT_EQ(playingVoices(), (std::vector<bool>{false, false}));
    headless::advanceSound(2000);
    EXPECT_TRUE(bank->Play("step.wav", 0, 0));
    EXPECT_EQ(playingVoices(), (std::vector<bool>{true, false}));
    headless::advanceSound(600);  // stopped half a second in: only the half second left, not all again
    EXPECT_EQ(playingVoices(), (std::vector<bool>{false, false}));
}

TEST_F(Bank, NamesNotLoadedWriteOneWarningEachAndChangeNothing) {
    bank->Play("step.wav", 0, DSBPLAY_LOOPING);
    std::string before = log();
    EXPECT_FALSE(bank->Play("nothing.wav", 0, 0));
    EXPECT_FALSE(bank->Stop("nothing.wav"));
    EXPECT_EQ(bank->Find("nothing.wav"), nullptr);
    EXPECT_EQ(bank->Find("STEP.WAV"), nullptr);  // names are case-sensitive
    std::string added = log().substr(before.size());
    EXPECT_TRUE(
        std::regex_match(added, std::regex(LogLinePattern(" ||  Warning:サウンド「nothing.wav」の再生に失敗しました") +
                                           LogLinePattern(" ||  Warning:サウンド「nothing.wav」の停止に失敗しました"))))
        << added;
    EXPECT_EQ(bank->entries.size(), 1u);
    EXPECT_EQ(playingVoices(), (std::vector<bool>{true}));
    EXPECT_TRUE(headless::messageBoxes().empty());
    EXPECT_FALSE(g_fatalError);
}

TEST_F(Bank, LoadingANameTwiceKeepsTheFirstWithoutReadingTheFile) {
    IDirectSoundBuffer8* master = entry->master;
    IDirectSoundBuffer8* voice = entry->voices[0];
    std::filesystem::remove("data/sound/step.wav");
    EXPECT_TRUE(bank->Load("step.wav"));
    EXPECT_EQ(bank->Find("step.wav"), entry);
    EXPECT_EQ(entry->master, master);
    EXPECT_EQ(entry->voices, std::vector<IDirectSoundBuffer8*>{voice});
}

TEST_F(Bank, DestructionReleasesEveryVoiceTheMasterAndTheDevice) {
    for (int i = 0; i < 4; ++i) bank->Play("step.wav", 0, DSBPLAY_LOOPING);
    EXPECT_EQ(headless::soundVoiceCount(), 4);
    delete bank;
    bank = nullptr;
    EXPECT_FALSE(headless::audioOutputOpen());  // the output closes with the last buffer and the device
}

class Device : public SoundTest {};

TEST_F(Device, NoOutputShowsItsBoxLogsAndLeavesLoadsSilent) {
    headless::failAudioDevice(true);
    WriteSound("step.wav", WaveBytes(WaveSpec{}));
    bank = new SoundBank();
    EXPECT_FALSE(bank->CreateDevice());
    EXPECT_EQ(bank->device, nullptr);
    EXPECT_EQ(bank->primaryBuffer, nullptr);
    EXPECT_TRUE(g_fatalError);
    // With no device, loading fails without a second message.
    EXPECT_FALSE(bank->Load("step.wav"));
    EXPECT_FALSE(bank->Load("missing.wav"));
    ASSERT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_EQ(headless::messageBoxes()[0].text, "サウンドデバイスの作成に失敗しました");
    EXPECT_EQ(headless::messageBoxes()[0].title, "Error");
    EXPECT_TRUE(std::regex_match(log(), std::regex(LogLinePattern(" ||  サウンドデバイスの作成に失敗"))));
}

TEST_F(Device, CooperativeLevelFailureKeepsTheDeviceForTheDestructor) {
    g_hWnd = nullptr;  // no window to cooperate with
    bank = new SoundBank();
    EXPECT_FALSE(bank->CreateDevice());
    EXPECT_NE(bank->device, nullptr);
    EXPECT_EQ(bank->primaryBuffer, nullptr);
    ASSERT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_EQ(headless::messageBoxes()[0].text, "協調レベルの設定に失敗しました");
    EXPECT_TRUE(std::regex_match(log(), std::regex(LogLinePattern(" ||  協調レベルの設定に失敗"))));
    delete bank;
    bank = nullptr;
    EXPECT_FALSE(headless::audioOutputOpen());
}

TEST_F(Device, OpensWithAPrimaryBufferMixing44100HzStereo) {
    openBank();
    ASSERT_NE(bank->primaryBuffer, nullptr);
    WAVEFORMATEX f{};
    EXPECT_EQ(bank->primaryBuffer->GetFormat(&f, sizeof f, nullptr), DS_OK);
    EXPECT_EQ(std::tuple(f.nSamplesPerSec, f.nChannels, f.wBitsPerSample), std::tuple(44100u, 2, 16));
    EXPECT_TRUE(headless::audioOutputOpen());
}

// Voices on the frame clock of a whole game run.
TEST(SoundStartUp, VoicesPlayOnTheFrameClockOfAGameRun) {
    TempFolder folder;
    ResetForNewRun();
    WriteStartContent();
    WaveSpec tenthOfASecond;
    tenthOfASecond.samples = std::string(2205 * 2, '\x20');  // 22050 Hz mono 16-bit
    WriteSound("cursor37.wav", WaveBytes(tenthOfASecond));
    std::vector<bool> seen;
    headless::onFrame([&](int frame) {
        SoundEntry* e = g_soundBank->Find("cursor37.wav");
        DWORD status = 0;
        if (frame == 1) g_soundBank->Play("cursor37.wav", -1000, 0);
        if (frame == 6 || frame == 8) {  // 83 ms and 117 ms after the play
            e->voices[0]->GetStatus(&status);
            seen.push_back(status & DSBSTATUS_PLAYING);
        }
        if (frame == 8) headless::pushKeyDown(VK_ESCAPE);
    });
    EXPECT_EQ(RunGame(), 0);
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
    headless::reset();
}

}  // namespace
