// The sound bank: every sound the game plays, loaded once at start-up and played and stopped by its
// bare file name; a sound that is asked to play while all its voices are busy gets another voice.
#pragma once

#include <dsound.h>
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

// One sound: the buffer that holds the sample, never played itself, and the copies of it that play.
struct SoundEntry {
    IDirectSoundBuffer8* master = nullptr;
    std::vector<IDirectSoundBuffer8*> voices;  // duplicates sharing the master's memory

    void StopAll();
};

class SoundBank {
public:
    SoundBank();
    ~SoundBank();
    SoundBank(const SoundBank&) = delete;
    SoundBank& operator=(const SoundBank&) = delete;

    bool CreateDevice();
    bool Load(std::string name);
    SoundEntry* Find(std::string name);
    bool Play(std::string name, LONG volume, DWORD flags);
    bool Stop(std::string name);

    std::map<std::string, SoundEntry> entries;
    IDirectSound8* device;
    IDirectSoundBuffer* primaryBuffer;
};

// Every Play and Stop asked of the bank, as the game asked it: the replay runner reports them and the
// tests check them. Null (nobody listening) in the game itself.
struct SoundCall {
    bool play;  // false: Stop
    std::string name;
    LONG volume;
    DWORD flags;
};
extern void (*g_soundCallObserver)(const SoundCall& call);

// The sounds loaded at start-up, in their order ("puu35.wav" twice: the second load finds it loaded).
extern const char* const kStartSounds[15];

// A failure that ends the run: the box first, then the log line (after its timestamp), then the flag.
void ReportSoundFailure(const std::string& boxText, const std::string& logText);

// Reads "data/sound/" + name into a new master buffer and its first voice. On failure the player is
// told (box, log line) and the run is marked to end; entry.master is then null.
bool LoadWaveFile(SoundEntry& entry, std::string name, IDirectSound8* device);
// The same from a file already open for reading, positioned at its start; `name` is used in the messages.
bool LoadWaveStream(SoundEntry& entry, const std::string& name, std::FILE* file, IDirectSound8* device);
