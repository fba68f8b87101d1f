// The game frame on the real OpenGL device (under Xvfb with llvmpipe on the test machine), unpaced: the
// sample room with three bulges held, objects, player, both passes and Present.
#include <benchmark/benchmark.h>

#include "../game_world.h"
#include "gl/control.h"

namespace {

void BM_GameFramePresent_OpenGL(benchmark::State& state) {
    bench_game::World world;
    std::string error;
    if (!world.open(QUILLMOOR_SOURCE_DIR "/data", error)) {
        state.SkipWithError(error.c_str());
        world.close();
        return;
    }
    real::setUnpaced(true);
    for (auto _ : state) {
        world.frame();
        g_device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    real::setUnpaced(false);
    world.close();
}
BENCHMARK(BM_GameFramePresent_OpenGL)
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(2.0)
    ->UseRealTime()
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
