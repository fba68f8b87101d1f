// The stage objects' share of a game frame: a laser trap's measuring frame (every object ray-tested)
// and its body-only frame, against the heaviest stage mesh in data/xfile, and the whole object pass of
// a stage with four traps on.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <vector>
#include <string>

#include "app/globals.h"
#include "device_scene.h"
#include "headless/control.h"
#include "player/player_state.h"
#include "player/update.h"
#include "scene/game.h"
#include "resource/resource_cache.h"
#include "sound/sound_bank.h"
#include "stage/factory.h"
#include "stage/olasertrap.h"

namespace {

// The meshes the stages of data/stagedata.txt list (each stage file's lines between its first two
// colons), or every mesh in data/xfile when there is no stage list.
std::vector<std::string> CandidateMeshes() {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::ifstream list("data/stagedata.txt");
    for (std::string stage; std::getline(list, stage);) {
        std::ifstream file("data/" + stage);
        int colons = 0;
        for (std::string line; colons < 2 && std::getline(file, line);) {
            if (line.find(':') != std::string::npos)
                ++colons;
            else if (colons == 1)
                names.push_back(line);
        }
    }
    if (names.empty())
        for (const auto& entry : fs::directory_iterator("data/xfile"))
            names.push_back(entry.path().filename().string());
    return names;
}

// The biggest of those meshes that no class draws by name: a stage's level geometry.
std::string HeaviestStageMesh() {
    namespace fs = std::filesystem;
    std::string best;
    uintmax_t bestSize = 0;
    for (const std::string& name : CandidateMeshes()) {
        bool fixed = name == "gun.x" || name == "sphere.x" || name == "title.x" || name == "plycol.x";
        for (uint16_t code = 1; code <= 10; ++code)
            if (const ObjectClass* row = FindObjectClass(code))
                for (const char* m : row->fixedMeshes) fixed = fixed || (m && name == m);
        std::error_code ec;
        uintmax_t size = fs::file_size("data/xfile/" + name, ec);
        if (!fixed && !ec && size > bestSize) {
            best = name;
            bestSize = size;
        }
    }
    return best;
}

// A stage of the heaviest mesh with one object of every kind, the player's body and `traps` laser traps
// sweeping from the middle of the mesh.
struct World {
    bench_scene::Window window;
    std::string stageMesh;
    std::vector<OLaserTrap*> traps;
    int faces = 0;
    bool ok = false;

    explicit World(int trapCount) {
        headless::reset();
        // The content of the folder the benchmark runs in when it has a stage list, else the source tree's.
        if (!std::filesystem::exists("data/stagedata.txt")) std::filesystem::current_path(QUILLMOOR_SOURCE_DIR);
        if (!window.open()) return;
        g_resourceCache = new ResourceCache();
        g_soundBank = new SoundBank();
        g_leverStates.assign(4, true);
        ResetPlayer();
        stageMesh = HeaviestStageMesh();
        if (stageMesh.empty()) return;
        for (const char* name : {stageMesh.c_str(), "gun.x", "sphere.x", "door.x", "elevator.x", "leveron.x",
                                 "leveroff.x", "ltrap.x", "laser.x", "goal.x", "step.x", "plycol.x"})
            if (!g_resourceCache->LoadMesh(name)) return;
        Obj* stage = Make(TYPE_STAGE, stageMesh.c_str(), {0, 0, 0}, {});
        if (!stage) return;
        faces = static_cast<int>(stage->mesh->GetNumFaces());
        // The middle of the stage's bounding box, lifted a little: where the traps stand.
        D3DXVECTOR3 lo = stage->baseVertices[0], hi = lo;
        for (const D3DXVECTOR3& v : stage->baseVertices) {
            lo = D3DXVECTOR3(std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z));
            hi = D3DXVECTOR3(std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z));
        }
        D3DXVECTOR3 mid = (lo + hi) * 0.5f + D3DXVECTOR3(0, 15, 0);
        g_player.position = mid + D3DXVECTOR3(30, 0, 30);
        Make(TYPE_PLAYER_BODY, "plycol.x", g_player.position, {});
        Make(TYPE_DOOR, "door.x", mid + D3DXVECTOR3(0, 0, 40), {1});
        Make(TYPE_ELEVATOR, "elevator.x", mid + D3DXVECTOR3(-40, -15, 0), {mid.x - 40, mid.y + 40, mid.z, 0.5f, 2});
        Make(TYPE_LEVER, "leveron.x", mid + D3DXVECTOR3(0, -15, -40), {1, 1});
        Make(TYPE_STEP, "step.x", mid + D3DXVECTOR3(40, -15, 0), {mid.x + 40, mid.y, mid.z + 60, 0.2f});
        Make(TYPE_GOAL, "goal.x", mid + D3DXVECTOR3(60, -15, 60), {2});
        for (int i = 0; i < trapCount; ++i)
            traps.push_back(static_cast<OLaserTrap*>(
                Make(TYPE_LASER_TRAP, "ltrap.x", mid + D3DXVECTOR3(5.0f * i, 0, 0), {3, 1.7f + i, 0.9f})));
        ok = true;
    }
    ~World() {
        ClearObjects();
        delete g_soundBank;
        g_soundBank = nullptr;
        if (g_resourceCache) g_resourceCache->ReleaseAll();
        delete g_resourceCache;
        g_resourceCache = nullptr;
        headless::reset();
    }
    Obj* Make(uint16_t code, const char* mesh, D3DXVECTOR3 at, std::array<float, 5> params) {
        MeshRecord* record = g_resourceCache->Find(mesh);
        return record ? CreateObject(record->mesh, mesh, code, at, 0, 0, params.data()) : nullptr;
    }
};

// One trap's measuring frame: the beam against every object of the stage.
void BM_LaserTrapMeasuringFrame(benchmark::State& state) {
    World world(1);
    if (!world.ok) {
        state.SkipWithError("no stage mesh in data/xfile (build the content target)");
        return;
    }
    OLaserTrap* trap = world.traps[0];
    for (auto _ : state) {
        trap->phase = 1;  // the update turns it to 0
        trap->Update();
        benchmark::DoNotOptimize(trap->beamLength);
    }
    state.SetLabel(world.stageMesh + ", " + std::to_string(world.faces) + " faces");
}
BENCHMARK(BM_LaserTrapMeasuringFrame)->Unit(benchmark::kMicrosecond);

// One trap's frame between: only the player's body.
void BM_LaserTrapBodyFrame(benchmark::State& state) {
    World world(1);
    if (!world.ok) {
        state.SkipWithError("no stage mesh in data/xfile (build the content target)");
        return;
    }
    OLaserTrap* trap = world.traps[0];
    trap->phase = 1;
    trap->Update();
    for (auto _ : state) {
        trap->phase = 0;  // the update turns it to 1
        trap->Update();
        benchmark::DoNotOptimize(trap->beamLength);
    }
}
BENCHMARK(BM_LaserTrapBodyFrame)->Unit(benchmark::kMicrosecond);

// Two consecutive frames of every object's Update with N traps on (one measuring, one body-only each),
// reported per frame.
void BM_ObjectPassWithTraps(benchmark::State& state) {
    World world(static_cast<int>(state.range(0)));
    if (!world.ok) {
        state.SkipWithError("no stage mesh in data/xfile (build the content target)");
        return;
    }
    for (auto _ : state) {
        for (int f = 0; f < 2; ++f)
            for (Obj* o = g_objRoot.next; o; o = o->next) o->Update();
        g_player.health = 255.0f;
    }
    state.SetItemsProcessed(state.iterations() * 2);
    state.SetLabel(world.stageMesh + ", per 2 frames");
}
BENCHMARK(BM_ObjectPassWithTraps)->Arg(0)->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

// The game scene's frame without its 2D pass: every object's Update, the player's (collision against the
// stage included), and the 3D pass (the bulge, every object's draw, the gun), with N traps on; per two
// frames, the player put back at the same spot before each pair.
void BM_GameFrameWithTraps(benchmark::State& state) {
    World world(static_cast<int>(state.range(0)));
    if (!world.ok) {
        state.SkipWithError("no stage mesh in data/xfile (build the content target)");
        return;
    }
    SGame game;
    const D3DXVECTOR3 spot = g_player.position;
    for (auto _ : state) {
        g_player.position = spot;
        g_player.velocity = D3DXVECTOR3(0, 0, 0);
        g_player.health = 255.0f;
        g_player.dead = false;
        for (int f = 0; f < 2; ++f) {
            game.Update();
            g_device->BeginScene();
            game.Draw3D();
            g_device->EndScene();
        }
    }
    state.SetItemsProcessed(state.iterations() * 2);
    state.SetLabel(world.stageMesh + ", per 2 frames");
}
BENCHMARK(BM_GameFrameWithTraps)->Arg(0)->Arg(4)->Unit(benchmark::kMicrosecond);

}  // namespace
