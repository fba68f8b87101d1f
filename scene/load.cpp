// SLoad: the screen between the title (or a finished or failed stage) and the game; its one Update
// loads the stage named by the stage index, all within a single frame.
#include "scene/load.h"

#include <d3dx9.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/fade.h"
#include "app/globals.h"
#include "diag/log.h"
#include "player/player_state.h"
#include "resource/resource_cache.h"
#include "stage/obj.h"
#include "stage/stage_file.h"
#include "stage/stage_globals.h"

namespace {

// The stage list cannot be opened. The log line has always spelt the file "stagedate.txt"; people
// search their logs for that text, so it stays.
SceneId StageListMissing() {
    MessageBoxA(nullptr, "ファイル「stagedata.txt」が読み込めませんでした\n", "エラー", MB_OK);
    WriteLogLine(" ||  Error:「stagedate.txt」の読み込みに失敗しました");
    g_fatalError = true;
    return SCENE_TITLE;
}

// The stage file cannot be opened, or ends before its start position or mesh list is complete.
SceneId StageFileMissing(const std::string& path) {
    MessageBoxA(nullptr, ("ファイル「" + path + "」が読み込めませんでした").c_str(), "エラー", MB_OK);
    WriteLogLine(" ||  Error:「" + path + "」の読み込みに失敗しました");
    g_fatalError = true;
    return SCENE_TITLE;
}

// A mesh name too long for any file: reported as the cache reports a mesh that does not load.
void MeshNameTooLong(const std::string& name) {
    const std::string path = "data/xfile/" + name;
    g_fatalError = true;
    WriteLogLine(" ||  Error: メッシュ「" + path + "」の読み込みに失敗しました");
    MessageBoxA(nullptr, (path + "の読み込みに失敗しました").c_str(), "Error", MB_OK);
}

void ReleaseTexture(IDirect3DTexture9*& texture) {
    if (texture) texture->Release();
    texture = nullptr;
}

}  // namespace

bool SLoad::Enter() { return true; }

SceneId SLoad::Update() {
    if (g_objRoot.next) ClearObjects();
    g_resourceCache->ReleaseAll();  // objects first: they point into the cached meshes

    std::FILE* list = OpenStageText("data/stagedata.txt");
    if (!list) return StageListMissing();
    StageListLine entry = ReadStageListLine(list, g_stageIndex);
    std::fclose(list);

    // A line no file name can be (a NUL byte, or longer than any name) is not opened at all: a shorter
    // name that happens to exist must not be loaded in its place.
    std::FILE* file = (entry.cut || entry.nul) ? nullptr : OpenStageText(entry.path);
    if (!file) return StageFileMissing(entry.path.substr(0, entry.path.find('\0')));
    StageFileReader reader(file);

    StageStart start;
    if (!reader.ReadStart(start)) {
        std::fclose(file);
        return StageFileMissing(entry.path);
    }
    g_player.startPosition = start.position;

    std::string name;
    bool cut = false;
    int line = 0;
    StageFileReader::MeshResult result;
    while ((result = reader.NextMesh(name, cut, line)) == StageFileReader::Mesh) {
        if (cut)
            MeshNameTooLong(name);
        else
            g_resourceCache->LoadMesh(name);  // a failure has shown its box and set g_fatalError
    }
    if (result == StageFileReader::FileEnd) {
        std::fclose(file);
        return StageFileMissing(entry.path);
    }
    g_resourceCache->LoadMesh("gun.x");
    g_resourceCache->LoadMesh("sphere.x");

    // Textures a previous load left behind (no game scene released them) go first, so none leaks.
    ReleaseTexture(g_laserTexture);
    ReleaseTexture(g_hitTexture);
    ReleaseTexture(g_crosshairTexture);
    if (!LoadTexture(&g_laserTexture, "data/texture/laser.png", 128, 256, 0) ||
        !LoadTexture(&g_hitTexture, "data/texture/efe_hit.png", 256, 64, 0) ||
        !LoadTexture(&g_crosshairTexture, "data/texture/crosshair.png", 128, 128, 0)) {
        std::fclose(file);
        // The run ends in the error screen; nothing would ever release what did load.
        ReleaseTexture(g_laserTexture);
        ReleaseTexture(g_hitTexture);
        ReleaseTexture(g_crosshairTexture);
        return SCENE_ERROR;
    }

    if (!g_fatalError) {
        StageRecord record;
        while (reader.NextRecord(record)) {
            MeshRecord* cached = record.meshNameCut ? nullptr : g_resourceCache->Find(record.meshName);
            // A mesh that is not cached, a code that names no class or a mesh of the wrong vertex size
            // is skipped by the factory with one warning line.
            CreateObject(cached ? cached->mesh : nullptr, record.meshName, record.typeCode, record.position, record.yaw,
                         record.pitch, record.params);
        }
    }
    std::fclose(file);

    ResetPlayer();
    POINT centre = {320, 240};
    ClientToScreen(g_hWnd, &centre);
    SetCursorPos(centre.x, centre.y);
    g_fadeLevel = 0;
    g_goalReached = false;
    return SCENE_GAME;
}

void SLoad::Draw3D() {}  // nothing clears: the previous picture stays under the overlay

void SLoad::Draw2D() {
    g_sprite->Begin(D3DXSPRITE_ALPHABLEND);
    DrawFadeOverlay();
}

void SLoad::Leave() {}
