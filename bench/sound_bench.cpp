// Sound: loading the fifteen start sounds, and one play of a sound whose 32 voices are all busy (every
// voice asked for its status, then a new voice duplicated from the master), on the headless output.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "app/globals.h"
#include "diag/log.h"
#include "headless/control.h"
#include "sound/sound_bank.h"
#include "support/sound_files.h"

namespace {

int windowStandIn;

// A temporary folder with the start sounds in data/sound/, each one second of 44.1 kHz 16-bit stereo.
struct SoundFolder {
    SoundFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillmoor-bench-XXXXXX").string();
        ok = mkdtemp(pattern.data()) != nullptr;
        if (!ok) return;
        dir = pattern;
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir);
        testing_support::WaveSpec second;
        second.channels = 2;
        second.rate = 44100;
        second.samples = std::string(44100 * 4, '\x11');
        for (const char* name : kStartSounds) testing_support::WriteSound(name, testing_support::WaveBytes(second));
        headless::reset();
        g_hWnd = reinterpret_cast<HWND>(&windowStandIn);
    }
    ~SoundFolder() {
        if (!ok) return;
        g_hWnd = nullptr;
        headless::reset();
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(dir);
    }
    bool ok = false;
    std::filesystem::path dir, previous;
};

void BM_LoadStartSounds(benchmark::State& state) {
    SoundFolder folder;
    if (!folder.ok) return state.SkipWithError("no temporary folder");
    for (auto _ : state) {
        SoundBank bank;
        bank.CreateDevice();
        for (const char* name : kStartSounds) bank.Load(name);
        if (bank.entries.size() != 14 || g_fatalError) return state.SkipWithError("a start sound did not load");
    }
    state.SetItemsProcessed(state.iterations() * 15);
    state.SetLabel("items = Load calls");
}
BENCHMARK(BM_LoadStartSounds)->Unit(benchmark::kMillisecond);

void BM_PlayWith32BusyVoices(benchmark::State& state) {
    SoundFolder folder;
    if (!folder.ok) return state.SkipWithError("no temporary folder");
    SoundBank bank;
    bank.CreateDevice();
    bank.Load("mecha00.wav");
    SoundEntry* entry = bank.Find("mecha00.wav");
    for (int i = 0; i < 32; ++i) bank.Play("mecha00.wav", -2000, DSBPLAY_LOOPING);
    if (!entry || entry->voices.size() != 32) return state.SkipWithError("the 32 voices were not made");
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        bank.Play("mecha00.wav", -1000, 0);
        auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        // Back to 32 busy voices for the next play (not timed).
        entry->voices.back()->Release();
        entry->voices.pop_back();
    }
}
BENCHMARK(BM_PlayWith32BusyVoices)->UseManualTime()->Unit(benchmark::kNanosecond);

}  // namespace
