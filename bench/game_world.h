// The game frame for the benchmarks, shared by the headless and the OpenGL runs: the sample room as a
// stage (plus the player's body) with the generated content, the player in it holding three grown
// bulges, and one frame as the game scene runs it (objects, player, 3D and 2D passes).
#pragma once

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/fade.h"
#include "app/globals.h"
#include "app/input.h"
#include "device_scene.h"
#include "player/collision.h"
#include "player/player_state.h"
#include "player/update.h"
#include "resource/resource_cache.h"
#include "scene/game.h"
#include "sound/sound_bank.h"
#include "stage/obj.h"
#include "stage/stage_state.h"

namespace bench_game {

class World {
public:
    // `data` is the generated content folder (data/ of the source tree after a build). Meshes and
    // pictures are read from a copy in a temporary folder, as the game reads them from its own.
    bool open(const std::string& data, std::string& error) {
        std::string dir = (std::filesystem::temp_directory_path() / "quillmoor-bench-XXXXXX").string();
        if (!mkdtemp(dir.data())) return fail(error, "no temporary folder");
        folder = dir;
        previous = std::filesystem::current_path();
        std::error_code ec;
        std::filesystem::copy(data, folder / "data", std::filesystem::copy_options::recursive, ec);
        if (ec) return fail(error, "cannot copy " + data + ": " + ec.message());
        std::filesystem::current_path(folder);
        window = std::make_unique<bench_scene::Window>();
        if (!window->open()) return fail(error, "no window or device");
        g_hWnd = window->hWnd;
        g_resourceCache = new ResourceCache();
        g_soundBank = new SoundBank();  // no device: sounds are only looked up
        for (const char* mesh : {"sample.x", "plycol.x", "gun.x", "sphere.x"})
            if (!g_resourceCache->LoadMesh(mesh)) return fail(error, std::string("cannot load ") + mesh);
        if (!LoadTexture(&g_crosshairTexture, "data/texture/crosshair.png", 128, 128, 0) ||
            !LoadTexture(&g_laserTexture, "data/texture/laser.png", 128, 256, 0) ||
            !LoadTexture(&g_hitTexture, "data/texture/efe_hit.png", 256, 64, 0) ||
            !LoadTexture(&g_bloodTexture, "data/texture/blood.png", 640, 480, 0) ||
            !LoadTexture(&g_whiteTexture, "data/texture/white.png", 3, 3, 0))
            return fail(error, "cannot load the pictures");
        D3DXCreateSprite(g_device, &g_sprite);
        FillSineTable();
        g_mouseDivisor = 15.0f;
        const float params[5] = {};
        CreateObject(g_resourceCache->Find("sample.x")->mesh, "sample.x", TYPE_STAGE, {0, 0, 0}, 0, 0, params);
        CreateObject(g_resourceCache->Find("plycol.x")->mesh, "plycol.x", TYPE_PLAYER_BODY, {0, 0, 0}, 0, 0, params);
        stage = g_objRoot.next;
        g_player = PlayerState{};
        g_player.bobStep = 1;
        g_player.startPosition = D3DXVECTOR3(0, 12, -40);
        ResetPlayer();
        scene.Enter();
        g_fadeLevel = 0;
        POINT rest{320, 240};  // as the stage loader leaves the cursor
        ClientToScreen(g_hWnd, &rest);
        SetCursorPos(rest.x, rest.y);
        // Three shots at the floor ahead, then frames until all three have grown to 45.
        const float yaws[3] = {-25.0f, 0.0f, 25.0f};
        frame();
        for (float yaw : yaws) {
            g_player.yaw = yaw;
            g_player.pitch = 25.0f;
            press(true);
            frame();
            press(false);
            frame();
            press(false);
        }
        for (int i = 0; i < 40; ++i) frame();
        int held = 0;
        for (int i = 0; i < 4; ++i) held += g_player.bulgeActive[i] && g_player.bulgeRadius[i] == 45.0f;
        if (held != 3) return fail(error, "the three bulges did not take hold");
        return true;
    }

    void close() {
        scene.Leave();
        ClearObjects();
        for (IDirect3DTexture9** t : {&g_bloodTexture, &g_whiteTexture}) {
            if (*t) (*t)->Release();
            *t = nullptr;
        }
        if (g_sprite) g_sprite->Release();
        g_sprite = nullptr;
        if (g_resourceCache) {
            g_resourceCache->ReleaseAll();
            delete g_resourceCache;
        }
        g_resourceCache = nullptr;
        delete g_soundBank;
        g_soundBank = nullptr;
        window.reset();
        g_hWnd = nullptr;
        if (!previous.empty()) std::filesystem::current_path(previous);
        std::error_code ec;
        if (!folder.empty()) std::filesystem::remove_all(folder, ec);
    }

    // One game frame: the objects' and the player's update, then the 3D and 2D passes.
    void frame() {
        scene.Update();
        g_device->BeginScene();
        scene.Draw3D();
        scene.Draw2D();
        g_device->EndScene();
    }
    void press(bool down) {
        g_input.mouseLeft.before = g_input.mouseLeft.now;
        g_input.mouseLeft.now = down ? 1 : 0;
    }

    Obj* stage = nullptr;

private:
    bool fail(std::string& error, const std::string& why) {
        error = why;
        return false;
    }
    std::unique_ptr<bench_scene::Window> window;
    SGame scene;
    std::filesystem::path folder, previous;
};

}  // namespace bench_game
