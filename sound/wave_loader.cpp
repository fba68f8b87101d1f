// Reading one WAVE file into a static sound buffer and its first voice.
#include <crt_stdio.h>

#include <cstdint>
#include <cstring>

#include "app/globals.h"
#include "diag/log.h"
#include "sound/sound_bank.h"

namespace {

bool ReadExactly(std::FILE* file, void* to, size_t bytes) { return std::fread(to, 1, bytes, file) == bytes; }

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) { return U16(p) | static_cast<uint32_t>(U16(p + 2)) << 16; }

// Reads one byte at a time until "data". Bytes taken by a 'd' that did not start "data" are not looked
// at again, so a tag that begins inside them goes unseen.
bool FindDataTag(std::FILE* file) {
    for (;;) {
        int c = std::fgetc(file);
        if (c == EOF) return false;
        if (c != 'd') continue;
        char rest[3];
        size_t got = std::fread(rest, 1, 3, file);
        if (got == 3 && std::memcmp(rest, "ata", 3) == 0) return true;
    }
}

// The box and the log line of a WAVE file that failed: "「" + name + `rest`; the name goes into the
// log byte for byte.
void ReportFileFailure(const std::string& name, const char* rest) {
    MessageBoxA(nullptr, ("「" + name + rest).c_str(), "Error", MB_OK);
    WriteLogLine(" ||  Error:「", name, rest);
    g_fatalError = true;
}

void ReportNotWave(const std::string& name) { ReportFileFailure(name, "」はWaveファイルではありません"); }
void ReportReadFailure(const std::string& name) { ReportFileFailure(name, "」の読み込みに失敗しました"); }

template <typename T>
void ReleaseIfPresent(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

}  // namespace

void ReportSoundFailure(const std::string& boxText, const std::string& logText) {
    MessageBoxA(nullptr, boxText.c_str(), "Error", MB_OK);
    WriteLogLine(logText);
    g_fatalError = true;
}

bool LoadWaveStream(SoundEntry& entry, const std::string& name, std::FILE* file, IDirectSound8* device) {
    uint8_t riff[4], skipped[4], form[8], record[16], size[4];
    if (!ReadExactly(file, riff, 4) || std::memcmp(riff, "RIFF", 4) != 0 || !ReadExactly(file, skipped, 4) ||
        !ReadExactly(file, form, 8) || std::memcmp(form, "WAVEfmt ", 8) != 0) {
        ReportNotWave(name);
        return false;
    }
    // The chunk size is not used: whatever follows the first 16 format bytes is passed over by the scan.
    std::memset(record, 0, sizeof record);
    ReadExactly(file, skipped, 4);
    ReadExactly(file, record, 16);
    // A file that ends inside the size after "data" has no sample data to speak of: not a WAVE file.
    if (!FindDataTag(file) || !ReadExactly(file, size, 4)) {
        ReportNotWave(name);
        return false;
    }

    WAVEFORMATEX format;
    format.wFormatTag = U16(record);
    format.nChannels = U16(record + 2);
    format.nSamplesPerSec = U32(record + 4);
    format.nAvgBytesPerSec = U32(record + 8);
    format.nBlockAlign = U16(record + 12);
    format.wBitsPerSample = U16(record + 14);
    format.cbSize = 0;  // PCM carries no extra format bytes

    DSBUFFERDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLVOLUME;
    desc.dwBufferBytes = U32(size);
    desc.lpwfxFormat = &format;
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(device->CreateSoundBuffer(&desc, &buffer, nullptr))) {
        ReportReadFailure(name);
        return false;
    }
    buffer->QueryInterface(IID_IDirectSoundBuffer8, reinterpret_cast<void**>(&entry.master));

    void* region = nullptr;
    DWORD regionBytes = 0;
    if (!entry.master ||
        FAILED(entry.master->Lock(0, 0, &region, &regionBytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER))) {
        ReleaseIfPresent(entry.master);
        buffer->Release();
        ReportReadFailure(name);
        return false;
    }
    // A file shorter than its declared size leaves the rest of the new buffer as it was: silent.
    std::fread(region, 1, regionBytes, file);
    entry.master->Unlock(region, regionBytes, nullptr, 0);

    IDirectSoundBuffer* duplicate = nullptr;
    // A version-8 buffer is handed on as the buffer it also is, as DirectSound's own samples do.
    device->DuplicateSoundBuffer(reinterpret_cast<IDirectSoundBuffer*>(entry.master), &duplicate);
    if (duplicate) {
        IDirectSoundBuffer8* voice = nullptr;
        duplicate->QueryInterface(IID_IDirectSoundBuffer8, reinterpret_cast<void**>(&voice));
        if (voice) entry.voices.push_back(voice);
        duplicate->Release();
    }
    buffer->Release();
    return true;
}

bool LoadWaveFile(SoundEntry& entry, std::string name, IDirectSound8* device) {
    std::FILE* file = nullptr;
    if (fopen_s(&file, ("data/sound/" + name).c_str(), "rb") != 0) {
        ReportReadFailure(name);
        return false;
    }
    bool loaded = LoadWaveStream(entry, name, file, device);
    std::fclose(file);
    return loaded;
}
