// Frame cost of the device headless: Clear, 1,000 lit triangles and Present with the state tracking and
// draw hand-over of the device but no pixels.
#include <benchmark/benchmark.h>

#include "device_scene.h"
#include "headless/control.h"

namespace {

void BM_ClearThousandLitTrianglesPresent_Headless(benchmark::State& state) {
    headless::reset();
    {
        bench_scene::Window window;
        if (!window.open()) {
            state.SkipWithError("no headless device");
            return;
        }
        bench_scene::LitTriangles triangles(1000);
        for (auto _ : state) triangles.frame(window.device);
        state.SetItemsProcessed(state.iterations());
        state.SetLabel("items/s = frames per second");
    }
    headless::reset();
}
BENCHMARK(BM_ClearThousandLitTrianglesPresent_Headless)->Unit(benchmark::kMicrosecond);

}  // namespace
