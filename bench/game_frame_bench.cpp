// The game frame headless on the sample room with three bulges held: the whole frame, and its two
// heaviest parts alone (the player's collision rays, the bulge applied to the room's mesh).
#include <benchmark/benchmark.h>

#include "game_world.h"
#include "headless/control.h"

namespace {

const char* const kData = QUILLMOOR_SOURCE_DIR "/data";

template <typename Body>
void RunInWorld(benchmark::State& state, Body body) {
    headless::reset();
    bench_game::World world;
    std::string error;
    if (!world.open(kData, error)) {
        state.SkipWithError(error.c_str());
        world.close();
        return;
    }
    for (auto _ : state) body(world);
    world.close();
}

void BM_GameFrameThreeBulges(benchmark::State& state) {
    RunInWorld(state, [](bench_game::World& w) { w.frame(); });
}
BENCHMARK(BM_GameFrameThreeBulges)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_GameFrameCollisionOnly(benchmark::State& state) {
    RunInWorld(state, [](bench_game::World&) { CollidePlayer(); });
}
BENCHMARK(BM_GameFrameCollisionOnly)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_GameFrameBulgeOnly(benchmark::State& state) {
    RunInWorld(state, [](bench_game::World& w) { ApplyBulge(w.stage); });
}
BENCHMARK(BM_GameFrameBulgeOnly)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
