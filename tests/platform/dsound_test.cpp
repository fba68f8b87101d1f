// The DirectSound stand-in over the headless audio backend: buffer sizes and contents, duplicates,
// play, stop and resume, volume, interfaces and reference counts.
#include <dsound.h>
#include <gtest/gtest.h>

#include <cstring>

#include "headless/control.h"

namespace {

int windowStandIn;
HWND fakeWindow() { return reinterpret_cast<HWND>(&windowStandIn); }

WAVEFORMATEX pcm(WORD channels, WORD bits, DWORD rate) {
    WORD align = static_cast<WORD>(channels * bits / 8);
    return WAVEFORMATEX{WAVE_FORMAT_PCM, channels, rate, rate * align, align, bits, 0};
}

class DirectSound : public ::testing::Test {
protected:
    void SetUp() override {
        headless::reset();
        ASSERT_EQ(DirectSoundCreate8(nullptr, &ds, nullptr), DS_OK);
        ASSERT_EQ(ds->SetCooperativeLevel(fakeWindow(), DSSCL_PRIORITY), DS_OK);
    }
    void TearDown() override {
        if (ds) ds->Release();
        EXPECT_FALSE(headless::audioOutputOpen());  // the last object closed the output
        headless::reset();
    }
    HRESULT create(DWORD bytes, WAVEFORMATEX format, IDirectSoundBuffer8** out,
                   DWORD flags = DSBCAPS_STATIC | DSBCAPS_CTRLVOLUME) {
        DSBUFFERDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = flags;
        desc.dwBufferBytes = bytes;
        desc.lpwfxFormat = &format;
        IDirectSoundBuffer* plain = nullptr;
        HRESULT hr = ds->CreateSoundBuffer(&desc, &plain, nullptr);
        *out = nullptr;
        if (plain) {
            plain->QueryInterface(IID_IDirectSoundBuffer8, reinterpret_cast<void**>(out));
            plain->Release();
        }
        return hr;
    }
    IDirectSoundBuffer8* duplicate(IDirectSoundBuffer8* original) {
        IDirectSoundBuffer* plain = nullptr;
        EXPECT_EQ(ds->DuplicateSoundBuffer(reinterpret_cast<IDirectSoundBuffer*>(original), &plain), DS_OK);
        return reinterpret_cast<IDirectSoundBuffer8*>(plain);
    }
    template <typename Buffer>  // either interface of a buffer
    static DWORD status(Buffer* b) {
        DWORD s = 0xDEAD;
        EXPECT_EQ(b->GetStatus(&s), DS_OK);
        return s;
    }
    template <typename Buffer>
    static DWORD position(Buffer* b) {
        DWORD play = 0, write = 0;
        EXPECT_EQ(b->GetCurrentPosition(&play, &write), DS_OK);
        return play;
    }
    IDirectSound8* ds = nullptr;
};

TEST_F(DirectSound, SizesAndFormatsOutsideTheLimitsAreRefusedWithoutABuffer) {
    // Sizes 0 and 3, 24 bits, three channels and floating point are refused through the wave loader.
    IDirectSoundBuffer8* b = nullptr;
    for (DWORD bytes : {DWORD(DSBSIZE_MAX + 1u), 0xFFFFFFFFu}) {
        EXPECT_EQ(create(bytes, pcm(1, 16, 22050), &b), DSERR_INVALIDPARAM) << bytes;
        EXPECT_EQ(b, nullptr);
    }
    // Only 8- or 16-bit PCM, mono or stereo, 100 Hz to 200 kHz, with its block alignment.
    WAVEFORMATEX wrong[] = {pcm(0, 16, 22050), pcm(1, 16, 99), pcm(2, 16, 200001), pcm(2, 16, 44100)};
    wrong[3].nBlockAlign = 3;
    for (const WAVEFORMATEX& f : wrong) {
        EXPECT_EQ(create(64, f, &b), DSERR_BADFORMAT)
            << f.nChannels << " " << f.wBitsPerSample << " " << f.nSamplesPerSec;
        EXPECT_EQ(b, nullptr);
    }
    for (WAVEFORMATEX f : {pcm(1, 8, 100), pcm(2, 16, 200000)}) {
        ASSERT_EQ(create(DSBSIZE_MIN, f, &b), DS_OK) << f.nSamplesPerSec;
        b->Release();
    }
}

TEST_F(DirectSound, DuplicatesShareTheMemoryThatOutlivesTheOriginal) {
    IDirectSoundBuffer8* b8 = nullptr;
    ASSERT_EQ(create(10, pcm(1, 8, 22050), &b8), DS_OK);
    void* p1 = nullptr;
    DWORD n1 = 0;
    ASSERT_EQ(b8->Lock(0, 0, &p1, &n1, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
    EXPECT_EQ(n1, 10u);
    void* memory8 = p1;
    std::memcpy(p1, "0123456789", 10);
    EXPECT_EQ(b8->Unlock(p1, n1, nullptr, 0), DS_OK);

    IDirectSoundBuffer8* copy = duplicate(b8);
    ASSERT_NE(copy, nullptr);
    // The memory is the original's, and outlives the buffer it was made for.
    b8->Release();
    void* q = nullptr;
    DWORD qn = 0;
    ASSERT_EQ(copy->Lock(0, 0, &q, &qn, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
    EXPECT_EQ(q, memory8);
    EXPECT_EQ(std::memcmp(q, "0123456789", 10), 0);
    copy->Unlock(q, qn, nullptr, 0);
    copy->Release();
    EXPECT_EQ(headless::soundSampleCount(), 0);
}

TEST_F(DirectSound, TheEndRewindsAndPlayOnAPlayingBufferChangesOnlyTheLooping) {
    IDirectSoundBuffer8* b = nullptr;
    ASSERT_EQ(create(22050 * 2, pcm(1, 16, 22050), &b), DS_OK);  // one second
    EXPECT_EQ(status(b), 0u);
    // Stopping and resuming are checked through the sound bank's voices.
    EXPECT_EQ(b->Play(0, 0, 0), DS_OK);
    headless::advanceSound(950);
    EXPECT_EQ(status(b), DWORD(DSBSTATUS_PLAYING));
    headless::advanceSound(100);  // 1.05 s played: the end, stopped back at the start
    EXPECT_EQ(std::pair(status(b), position(b)), std::pair(0u, 0u));

    EXPECT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    headless::advanceSound(10500);  // still looping, half a second in: 22050 / 2 frames of 2 bytes
    EXPECT_EQ(std::pair(status(b), position(b)), std::pair(DWORD(DSBSTATUS_PLAYING | DSBSTATUS_LOOPING), 22050u));
    // Play on a playing buffer changes only the looping: the place stays, so the half second left ends it.
    EXPECT_EQ(b->Play(0, 0, 0), DS_OK);
    headless::advanceSound(600);
    EXPECT_EQ(status(b), 0u);
    b->Release();
}

TEST_F(DirectSound, VolumeNeedsTheControlStaysInRangeAndIsCopiedByDuplicates) {
    IDirectSoundBuffer8 *b = nullptr, *plain = nullptr;
    ASSERT_EQ(create(64, pcm(1, 16, 22050), &b), DS_OK);
    ASSERT_EQ(create(64, pcm(1, 16, 22050), &plain, DSBCAPS_STATIC), DS_OK);
    // Without the control, above 0 and below -10000 dB/100 are refused.
    EXPECT_EQ(
        std::vector<HRESULT>({plain->SetVolume(-100), b->SetVolume(1), b->SetVolume(-10001), b->SetVolume(-1500)}),
        std::vector<HRESULT>({DSERR_CONTROLUNAVAIL, DSERR_INVALIDPARAM, DSERR_INVALIDPARAM, DS_OK}));
    IDirectSoundBuffer8* copy = duplicate(b);
    LONG v = 0;
    EXPECT_EQ(copy->GetVolume(&v), DS_OK);
    EXPECT_EQ(v, -1500);
    copy->Release();
    plain->Release();
    b->Release();
}

TEST_F(DirectSound, PrimaryBufferTakesItsFormatAtPriorityLevelAndHasNoVersion8) {
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer *primary = nullptr, *again = nullptr;
    ASSERT_EQ(ds->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    ASSERT_EQ(ds->CreateSoundBuffer(&desc, &again, nullptr), DS_OK);
    EXPECT_EQ(std::pair(again, again->Release()), std::pair(primary, 1u));  // one per device, counted twice
    void* v8 = reinterpret_cast<void*>(1);
    EXPECT_EQ(primary->QueryInterface(IID_IDirectSoundBuffer8, &v8), DSERR_NOINTERFACE);
    EXPECT_EQ(v8, nullptr);
    WAVEFORMATEX mix = pcm(2, 16, 44100);
    mix.cbSize = 18;
    ASSERT_EQ(ds->SetCooperativeLevel(fakeWindow(), DSSCL_NORMAL), DS_OK);
    EXPECT_EQ(primary->SetFormat(&mix), DSERR_PRIOLEVELNEEDED);
    ASSERT_EQ(ds->SetCooperativeLevel(fakeWindow(), DSSCL_PRIORITY), DS_OK);
    EXPECT_EQ(primary->SetFormat(&mix), DS_OK);
    EXPECT_EQ(primary->Release(), 0u);
}

TEST_F(DirectSound, ReferencesAreCountedAndTheOutputClosesWithTheLastObject) {
    IDirectSoundBuffer8* b = nullptr;
    ASSERT_EQ(create(64, pcm(1, 16, 22050), &b), DS_OK);
    IDirectSoundBuffer8* same = nullptr;
    ASSERT_EQ(b->QueryInterface(IID_IDirectSoundBuffer8, reinterpret_cast<void**>(&same)), DS_OK);
    EXPECT_EQ(same, b);
    EXPECT_EQ(same->Release(), 1u);
    b->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(headless::soundVoiceCount(), 1);
    // The device goes first; the buffer still plays until it is released, then the output closes.
    EXPECT_EQ(ds->Release(), 0u);
    ds = nullptr;
    EXPECT_TRUE(headless::audioOutputOpen());
    EXPECT_EQ(status(b) & DSBSTATUS_PLAYING, DWORD(DSBSTATUS_PLAYING));
    EXPECT_EQ(b->Release(), 0u);
    EXPECT_EQ(std::pair(headless::soundVoiceCount(), headless::soundSampleCount()), std::pair(0, 0));
}

}  // namespace
