// Frames per second of the whole frame loop, headless: input sampling, the scene step, the fade,
// BeginScene/EndScene and Present, through the real WinMain.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "app/globals.h"
#include "app/input.h"
#include "app/fade.h"
#include "app/scene_manager.h"
#include "headless/control.h"
#include "support/start_content.h"
#include "support/pictures.h"
#include "support/sound_files.h"

namespace {

void ResetEngine() {
    headless::reset();
    g_input = InputState{};
    g_fadeLevel = 0;
    g_fadeSpeed = 0;
    g_fatalError = false;
    g_leverStates.clear();
}

void BM_EmptyFrameLoop(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    std::string dir = (std::filesystem::temp_directory_path() / "quillmoor-bench-XXXXXX").string();
    if (!mkdtemp(dir.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    testing_support::WriteStartSounds();
    // A small blood picture: its texture is still 640 × 480, but the decoding stays out of the figures.
    testing_support::WritePng("data/texture/white.png", 3, 3, std::vector<uint32_t>(9, 0xFFFFFFFFu));
    testing_support::WritePng("data/texture/blood.png", 4, 4, std::vector<uint32_t>(16, 0x80C00000u));
    testing_support::WriteTitleContent();
    for (auto _ : state) {
        ResetEngine();
        headless::setFrameLimit(frames);  // the window closes after this many frames
        char commandLine[] = "";
        benchmark::DoNotOptimize(WinMain(nullptr, nullptr, commandLine, SW_SHOWDEFAULT));
        if (headless::frameCount() != frames) {
            state.SkipWithError("the run did not last the frames asked for");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * frames);
    state.SetLabel("items/s = frames per second");
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_EmptyFrameLoop)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
