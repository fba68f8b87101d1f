// A bent 10,000-vertex mesh per frame on the OpenGL device: every position rewritten, drawn, presented
// unpaced, with the game-side and platform allocations (operator new) counted after the first frame.
#include <benchmark/benchmark.h>
#include <d3dx9.h>

#include "../allocation_count.h"
#include "../device_scene.h"
#include "../grid_mesh.h"
#include "gl/control.h"

namespace {

void BM_RewriteAndDrawTenThousandVertices_OpenGL(benchmark::State& state) {
    bench_scene::Window window;
    if (!window.open()) {
        state.SkipWithError("no window or device (is DISPLAY set?)");
        return;
    }
    std::string text = bench_scene::GridX(99);  // 100 × 100 vertices
    ID3DXMesh* mesh = nullptr;
    if (FAILED(D3DXLoadMeshFromXInMemory(text.data(), static_cast<DWORD>(text.size()), D3DXMESH_MANAGED, window.device,
                                         nullptr, nullptr, nullptr, nullptr, &mesh))) {
        state.SkipWithError("no mesh");
        return;
    }
    real::setUnpaced(true);
    D3DXMATRIX view, projection;
    D3DXVECTOR3 eye(100, 80, -60), at(100, 0, 100), up(0, 1, 0);
    window.device->SetTransform(D3DTS_VIEW, D3DXMatrixLookAtLH(&view, &eye, &at, &up));
    window.device->SetTransform(D3DTS_PROJECTION, D3DXMatrixPerspectiveFovLH(&projection, 0.87f, 4.0f / 3, 1, 1000));
    float phase = 0;
    bench_scene::BendAndDraw(mesh, window.device, phase, true);  // warm-up frame
    size_t before = bench_scene::allocations;
    for (auto _ : state) {
        phase += 0.01f;
        bench_scene::BendAndDraw(mesh, window.device, phase, true);
    }
    state.counters["allocations_per_frame"] = double(bench_scene::allocations - before) / double(state.iterations());
    real::setUnpaced(false);
    mesh->Release();
}
BENCHMARK(BM_RewriteAndDrawTenThousandVertices_OpenGL)->Unit(benchmark::kMicrosecond)->MinTime(2.0)->UseRealTime();

}  // namespace
