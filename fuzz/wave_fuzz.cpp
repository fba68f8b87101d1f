// Fuzz target for the WAVE loader: any bytes as a sound file, loaded into a headless sound device and
// played for a moment.
#include <dsound.h>

#include <cstdint>
#include <cstdio>

#include "app/globals.h"
#include "headless/control.h"
#include "sound/sound_bank.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    headless::reset();
    g_fatalError = false;
    IDirectSound8* device = nullptr;
    if (FAILED(DirectSoundCreate8(nullptr, &device, nullptr))) return 0;
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file) {
        device->Release();
        return 0;
    }
    SoundEntry entry;
    bool loaded = LoadWaveStream(entry, "fuzz.wav", file, device);
    std::fclose(file);
    // A load either succeeds with a master and a voice, or fails and says so.
    if (loaded != (entry.master != nullptr) || loaded == g_fatalError) __builtin_trap();
    for (IDirectSoundBuffer8* voice : entry.voices) {
        voice->SetVolume(-1000);
        voice->Play(0, 0, 0);
        headless::advanceSound(20);
        DWORD status = 0;
        voice->GetStatus(&status);
        voice->Release();
    }
    if (entry.master) entry.master->Release();
    device->Release();
    if (headless::audioOutputOpen()) __builtin_trap();  // everything was released
    return 0;
}
