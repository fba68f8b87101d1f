// The sound bank: the device, the table of loaded sounds, playing with free or new voices, stopping.
#include "sound/sound_bank.h"

#include <cstring>

#include "app/globals.h"
#include "diag/log.h"

const char* const kStartSounds[15] = {"bosu08.wav",  "puu35.wav",    "mecha07.wav", "mecha23_b.wav", "puu35.wav",
                                      "mecha01.wav", "kachi44.wav",  "bosu20.wav",  "bosu05.wav",    "mecha32.wav",
                                      "beep07.wav",  "cursor37.wav", "mecha00.wav", "close01.wav",   "mecha15.wav"};

void SoundEntry::StopAll() {
    for (IDirectSoundBuffer8* voice : voices)
        if (voice) voice->Stop();
}

SoundBank::SoundBank() : device(nullptr), primaryBuffer(nullptr) {}

SoundBank::~SoundBank() {
    for (auto& [name, entry] : entries) {
        for (IDirectSoundBuffer8*& voice : entry.voices) {
            if (voice) voice->Release();
            voice = nullptr;
        }
        if (entry.master) entry.master->Release();
        entry.master = nullptr;
    }
    entries.clear();
    if (primaryBuffer) primaryBuffer->Release();
    primaryBuffer = nullptr;
    if (device) device->Release();
    device = nullptr;
}

bool SoundBank::CreateDevice() {
    if (FAILED(DirectSoundCreate8(nullptr, &device, nullptr))) {
        ReportSoundFailure("サウンドデバイスの作成に失敗しました", " ||  サウンドデバイスの作成に失敗");
        return false;
    }
    if (FAILED(device->SetCooperativeLevel(g_hWnd, DSSCL_PRIORITY))) {
        ReportSoundFailure("協調レベルの設定に失敗しました", " ||  協調レベルの設定に失敗");
        return false;
    }
    DSBUFFERDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    if (FAILED(device->CreateSoundBuffer(&desc, &primaryBuffer, nullptr))) {
        ReportSoundFailure("プライマリバッファの作成に失敗しました", " ||  プライマリバッファの作成に失敗");
        return false;
    }
    // The mix: 44.1 kHz 16-bit stereo.
    WAVEFORMATEX format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.nAvgBytesPerSec = 176400;
    format.nBlockAlign = 4;
    format.wBitsPerSample = 16;
    format.cbSize = 18;
    if (FAILED(primaryBuffer->SetFormat(&format))) {
        ReportSoundFailure("プライマリバッファのステータス設定に失敗しました",
                           " ||  プライマリバッファのステータス設定に失敗");
        return false;
    }
    return true;
}

bool SoundBank::Load(std::string name) {
    if (entries.count(name)) return true;
    // Without a device its failure has already been reported and the run is ending: nothing to load into.
    if (!device) return false;
    SoundEntry entry;
    if (!LoadWaveFile(entry, name, device)) return false;
    entries.emplace(name, std::move(entry));
    return true;
}

void (*g_soundCallObserver)(const SoundCall& call) = nullptr;

SoundEntry* SoundBank::Find(std::string name) {
    auto it = entries.find(name);
    return it == entries.end() ? nullptr : &it->second;
}

bool SoundBank::Play(std::string name, LONG volume, DWORD flags) {
    if (g_soundCallObserver) g_soundCallObserver({true, name, volume, flags});
    SoundEntry* entry = Find(name);
    if (!entry) {
        WriteLogLine(" ||  Warning:サウンド「", name, "」の再生に失敗しました");
        return false;
    }
    for (IDirectSoundBuffer8* voice : entry->voices) {
        if (!voice) continue;
        DWORD status = 0;
        voice->GetStatus(&status);
        if (status & DSBSTATUS_PLAYING) continue;
        voice->SetVolume(volume);
        voice->Play(0, 0, flags);
        return true;
    }
    // Every voice is busy: one more, sharing the master's memory.
    IDirectSoundBuffer* duplicate = nullptr;
    // A version-8 buffer is handed on as the buffer it also is, as DirectSound's own samples do.
    device->DuplicateSoundBuffer(reinterpret_cast<IDirectSoundBuffer*>(entry->master), &duplicate);
    if (!duplicate) return true;
    IDirectSoundBuffer8* voice = nullptr;
    duplicate->QueryInterface(IID_IDirectSoundBuffer8, reinterpret_cast<void**>(&voice));
    if (voice) {
        entry->voices.push_back(voice);
        voice->SetVolume(volume);
        voice->Play(0, 0, flags);
    }
    duplicate->Release();
    return true;
}

bool SoundBank::Stop(std::string name) {
    if (g_soundCallObserver) g_soundCallObserver({false, name, 0, 0});
    SoundEntry* entry = Find(name);
    if (!entry) {
        WriteLogLine(" ||  Warning:サウンド「", name, "」の停止に失敗しました");
        return false;
    }
    entry->StopAll();
    return true;
}
