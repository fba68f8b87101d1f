// Stage costs: a whole stage load through the load scene, and the bulge on a stage-sized mesh each frame
// (with allocations counted).
#include <benchmark/benchmark.h>
#include <d3dx9.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "app/globals.h"
#include "device_scene.h"
#include "grid_mesh.h"
#include "headless/control.h"
#include "player/player_state.h"
#include "resource/resource_cache.h"
#include "scene/load.h"
#include "stage/bulge.h"
#include "stage/obj.h"
#include "stage/stage_globals.h"

namespace bench_scene {
extern size_t allocations;  // allocation_count.h
}

namespace {

namespace fs = std::filesystem;

const float kNoParams[5] = {0, 0, 0, 0, 0};

// The largest room there is: the generated sample room as the level geometry of a one-record stage.
// Meshes and textures come from the build's generated data/ (QUILLMOOR_SOURCE_DIR/data).
void BM_StageLoadSampleRoom(benchmark::State& state) {
    const fs::path source = fs::path(QUILLMOOR_SOURCE_DIR) / "data";
    std::error_code ec;
    if (!fs::exists(source / "xfile/sample.x", ec)) {
        state.SkipWithError("no generated data/xfile/sample.x: build the content first");
        return;
    }
    std::string dir = (fs::temp_directory_path() / "quillmoor-bench-stage-XXXXXX").string();
    if (!mkdtemp(dir.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const fs::path before = fs::current_path();
    fs::current_path(dir);
    fs::create_directories("data/xfile");
    fs::create_directories("data/texture");
    for (const char* mesh : {"sample.x", "gun.x", "sphere.x"})
        fs::copy_file(source / "xfile" / mesh, fs::path("data/xfile") / mesh);
    for (const auto& e : fs::directory_iterator(source / "texture"))
        fs::copy_file(e.path(), "data/texture" / e.path().filename());
    std::ofstream("data/stagedata.txt", std::ios::binary) << "stage1.txt\n";
    std::ofstream("data/stage1.txt", std::ios::binary) << "0,12,-40,\n:\nsample.x\n:\nsample.x,1,0,0,0,0,0\n";
    headless::reset();
    {
        bench_scene::Window window;
        if (window.open()) {
            g_hWnd = window.hWnd;
            ResourceCache cache;
            g_resourceCache = &cache;
            g_stageIndex = 1;
            g_fatalError = false;
            SLoad load;
            for (auto _ : state) {
                // range(0) 1: the whole load; 0: only the .x file of the room, as the cache reads it.
                if (state.range(0) == 0) {
                    ID3DXMesh* mesh = nullptr;
                    ID3DXBuffer* materials = nullptr;
                    DWORD count = 0;
                    if (D3DXLoadMeshFromXA("data/xfile/sample.x", D3DXMESH_MANAGED, window.device, nullptr, &materials,
                                           nullptr, &count, &mesh) != D3D_OK) {
                        state.SkipWithError("sample.x did not load");
                        break;
                    }
                    mesh->Release();
                    materials->Release();
                } else if (load.Update() != SCENE_GAME || g_fatalError) {
                    state.SkipWithError("the stage did not load");
                    break;
                }
            }
            if (g_objRoot.next) state.counters["vertices"] = g_objRoot.next->baseVertices.size();
            ClearObjects();
            for (IDirect3DTexture9** t : {&g_laserTexture, &g_hitTexture, &g_crosshairTexture})
                if (*t) (*t)->Release(), *t = nullptr;
            cache.ReleaseAll();
            g_resourceCache = nullptr;
            g_hWnd = nullptr;
        } else {
            state.SkipWithError("no device");
        }
    }
    headless::reset();
    fs::current_path(before);
    fs::remove_all(dir, ec);
}
BENCHMARK(BM_StageLoadSampleRoom)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// ApplyBulge on a 100 × 100-vertex floor (spacing 2) with three spheres of radius 45 active, as a
// deformable object's Draw runs it every frame.
void BM_ApplyBulgeThreeSpheresTenThousandVertices(benchmark::State& state) {
    headless::reset();
    {
        bench_scene::Window window;
        ID3DXMesh* mesh = nullptr;
        std::string text = bench_scene::GridX(99);
        if (!window.open() ||
            FAILED(D3DXLoadMeshFromXInMemory(text.data(), static_cast<DWORD>(text.size()), D3DXMESH_MANAGED,
                                             window.device, nullptr, nullptr, nullptr, nullptr, &mesh))) {
            state.SkipWithError("no mesh");
            return;
        }
        Obj* obj = CreateObject(mesh, "grid.x", TYPE_STAGE, D3DXVECTOR3(-100, 0, -100), 30.0f, 0.0f, kNoParams);
        ResetPlayer();
        const D3DXVECTOR3 centres[3] = {{-50, 0, -40}, {0, 2, 0}, {40, -1, 30}};
        for (int i = 0; i < 3; ++i) {
            g_player.bulgeCenter[i + 1] = centres[i];
            g_player.bulgeRadius[i + 1] = 45.0f;
            g_player.bulgeActive[i + 1] = true;
        }
        ApplyBulge(obj);  // warm-up
        size_t allocationsBefore = bench_scene::allocations;
        D3DXMATRIX ry, rx;
        D3DXMatrixRotationY(&ry, obj->yaw * kDegToRad);
        D3DXMatrixRotationX(&rx, obj->pitch * kDegToRad);
        const D3DXMATRIX world = obj->DrawMatrix(), rotation = ry * rx;
        for (auto _ : state) {
            // range(0) 1: the whole ApplyBulge (lock, bend, write, unlock); 0: the bending alone.
            if (state.range(0))
                ApplyBulge(obj);
            else
                BulgePositions(obj->baseVertices.data(), obj->workVertices.data(),
                               static_cast<DWORD>(obj->baseVertices.size()), world, rotation);
            benchmark::DoNotOptimize(obj->workVertices.data());
        }
        state.counters["allocations_per_call"] =
            double(bench_scene::allocations - allocationsBefore) / double(state.iterations());
        state.counters["vertices"] = mesh->GetNumVertices();
        ClearObjects();
        ResetPlayer();
        mesh->Release();
    }
    headless::reset();
}
BENCHMARK(BM_ApplyBulgeThreeSpheresTenThousandVertices)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
