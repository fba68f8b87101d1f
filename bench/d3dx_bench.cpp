// D3DX costs the game pays every frame or every stage load: ray-mesh tests over a stage-sized mesh,
// loading a stage-sized .x file, and rewriting and drawing a bent mesh (with allocations counted).
#include <benchmark/benchmark.h>
#include <d3dx9.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>

#include "allocation_count.h"
#include "device_scene.h"
#include "grid_mesh.h"
#include "headless/control.h"

namespace {

struct LoadedGrid {
    bench_scene::Window window;
    ID3DXMesh* mesh = nullptr;
    explicit LoadedGrid(int n) {
        headless::reset();
        if (!window.open()) return;
        std::string text = bench_scene::GridX(n);
        D3DXLoadMeshFromXInMemory(text.data(), static_cast<DWORD>(text.size()), D3DXMESH_MANAGED, window.device,
                                  nullptr, nullptr, nullptr, nullptr, &mesh);
    }
    ~LoadedGrid() {
        if (mesh) mesh->Release();
    }
};

// Rays from above onto a 20,000-triangle floor, each testing every triangle as the game's do.
void BM_IntersectTwentyThousandTriangles(benchmark::State& state) {
    LoadedGrid grid(100);
    if (!grid.mesh) {
        state.SkipWithError("no mesh");
        return;
    }
    float x = 1.0f;
    for (auto _ : state) {
        D3DXVECTOR3 origin(x, 50.0f, 77.0f), down(0.0f, -1.0f, 0.0f);
        BOOL hit = FALSE;
        float dist = 0;
        D3DXIntersect(grid.mesh, &origin, &down, &hit, nullptr, nullptr, nullptr, &dist, nullptr, nullptr);
        benchmark::DoNotOptimize(dist);
        x = x > 190.0f ? 1.0f : x + 3.7f;
    }
    state.counters["per_triangle"] =
        benchmark::Counter(static_cast<double>(grid.mesh->GetNumFaces()),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    headless::reset();
}
BENCHMARK(BM_IntersectTwentyThousandTriangles)->Unit(benchmark::kMicrosecond);

// Reading a 20,000-triangle .x file from disk into a mesh with its material buffer.
void BM_LoadTwentyThousandTriangleXFile(benchmark::State& state) {
    headless::reset();
    {
        bench_scene::Window window;
        if (!window.open()) {
            state.SkipWithError("no device");
            return;
        }
        auto path = std::filesystem::temp_directory_path() / "quillmoor-bench-floor.x";
        std::ofstream(path, std::ios::binary) << bench_scene::GridX(100);
        for (auto _ : state) {
            ID3DXMesh* mesh = nullptr;
            ID3DXBuffer* materials = nullptr;
            DWORD count = 0;
            if (D3DXLoadMeshFromXA(path.c_str(), D3DXMESH_MANAGED, window.device, nullptr, &materials, nullptr, &count,
                                   &mesh) != D3D_OK) {
                state.SkipWithError("load failed");
                break;
            }
            state.counters["triangles"] = mesh->GetNumFaces();
            mesh->Release();
            materials->Release();
        }
        std::filesystem::remove(path);
    }
    headless::reset();
}
BENCHMARK(BM_LoadTwentyThousandTriangleXFile)->Unit(benchmark::kMillisecond);

// A bent 10,000-vertex mesh per frame: every position rewritten in place, then drawn.
void BM_RewriteAndDrawTenThousandVertices(benchmark::State& state) {
    LoadedGrid grid(99);  // 100 × 100 vertices
    if (!grid.mesh) {
        state.SkipWithError("no mesh");
        return;
    }
    float phase = 0;
    bench_scene::BendAndDraw(grid.mesh, grid.window.device, phase, false);  // warm-up frame
    size_t before = bench_scene::allocations;
    for (auto _ : state) {
        phase += 0.01f;
        bench_scene::BendAndDraw(grid.mesh, grid.window.device, phase, false);
    }
    state.counters["allocations_per_frame"] = double(bench_scene::allocations - before) / double(state.iterations());
    state.counters["vertices"] = grid.mesh->GetNumVertices();
    headless::reset();
}
BENCHMARK(BM_RewriteAndDrawTenThousandVertices)->Unit(benchmark::kMicrosecond);

}  // namespace
