// Frame cost of the device: Clear, 1,000 lit triangles and Present, unpaced, with the real OpenGL
// backend (under Xvfb with Mesa's software rasteriser on the test machine).
#include <benchmark/benchmark.h>

#include "../device_scene.h"
#include "gl/control.h"

namespace {

void BM_ClearThousandLitTrianglesPresent_OpenGL(benchmark::State& state) {
    bench_scene::Window window;
    if (!window.open()) {
        state.SkipWithError("no window or device (is DISPLAY set?)");
        return;
    }
    real::setUnpaced(true);
    bench_scene::LitTriangles triangles(1000);
    for (auto _ : state) triangles.frame(window.device);
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("items/s = frames per second");
    real::setUnpaced(false);
}
BENCHMARK(BM_ClearThousandLitTrianglesPresent_OpenGL)->Unit(benchmark::kMicrosecond)->MinTime(2.0)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
