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

#include "device_scene.h"
#include "headless/control.h"

// Every allocation of the process is counted, so a loop can show that it makes none. (GCC cannot see
// that these replacements pair malloc with free and warns; they do.)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
size_t allocations = 0;
}
void* operator new(size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace {

// A floor of n × n quads (2n² triangles) in the .x text the content tools write: 32-byte vertices.
std::string gridX(int n) {
    std::string s = "xof 0302txt 0032\nMesh Floor {\n" + std::to_string((n + 1) * (n + 1)) + ";\n";
    char line[96];
    for (int z = 0; z <= n; ++z)
        for (int x = 0; x <= n; ++x) {
            std::snprintf(line, sizeof line, "%.6f;%.6f;%.6f;%s\n", x * 2.0f, 0.01f * ((x * 7 + z * 3) % 11), z * 2.0f,
                          (z == n && x == n) ? ";" : ",");
            s += line;
        }
    s += std::to_string(n * n) + ";\n";
    for (int z = 0; z < n; ++z)
        for (int x = 0; x < n; ++x) {
            int a = z * (n + 1) + x;
            std::snprintf(line, sizeof line, "4;%d,%d,%d,%d;%s\n", a, a + n + 1, a + n + 2, a + 1,
                          (z == n - 1 && x == n - 1) ? ";" : ",");
            s += line;
        }
    s += "MeshNormals { 1; 0.000000;1.000000;0.000000;;\n" + std::to_string(n * n) + ";\n";
    for (int i = 0; i < n * n; ++i) s += std::string("4;0,0,0,0;") + (i == n * n - 1 ? ";\n" : ",\n");
    s += "}\nMeshTextureCoords {\n" + std::to_string((n + 1) * (n + 1)) + ";\n";
    for (int z = 0; z <= n; ++z)
        for (int x = 0; x <= n; ++x) {
            std::snprintf(line, sizeof line, "%.6f;%.6f;%s\n", x / float(n), z / float(n),
                          (z == n && x == n) ? ";" : ",");
            s += line;
        }
    s += "}\nMeshMaterialList { 1; 1; 0;; Material { 0.8;0.8;0.8;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; } }\n}\n";
    return s;
}

struct LoadedGrid {
    bench_scene::Window window;
    ID3DXMesh* mesh = nullptr;
    explicit LoadedGrid(int n) {
        headless::reset();
        if (!window.open()) return;
        std::string text = gridX(n);
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
        std::ofstream(path, std::ios::binary) << gridX(100);
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
    IDirect3DDevice9* device = grid.window.device;
    DWORD stride = grid.mesh->GetNumBytesPerVertex(), count = grid.mesh->GetNumVertices();
    float phase = 0;
    size_t before = 0;
    bool first = true;
    for (auto _ : state) {
        if (first) {  // counted from the end of the first frame: nothing may be allocated after warm-up
            first = false;
        } else if (before == 0) {
            before = allocations;
        }
        void* data = nullptr;
        grid.mesh->LockVertexBuffer(0, &data);
        auto* bytes = static_cast<uint8_t*>(data);
        for (DWORD i = 0; i < count; ++i) {
            auto* p = reinterpret_cast<float*>(bytes + i * stride);
            p[1] = 0.5f * std::sin(phase + p[0] * 0.1f);
        }
        grid.mesh->UnlockVertexBuffer();
        device->BeginScene();
        grid.mesh->DrawSubset(0);
        device->EndScene();
        phase += 0.01f;
    }
    state.counters["allocations_per_frame"] =
        state.iterations() > 1 ? double(allocations - before) / double(state.iterations() - 1) : 0.0;
    state.counters["vertices"] = count;
    headless::reset();
}
BENCHMARK(BM_RewriteAndDrawTenThousandVertices)->Unit(benchmark::kMicrosecond);

}  // namespace
