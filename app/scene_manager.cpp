// Scene switching and the fade step.
#include "app/scene_manager.h"

#include <d3dx9.h>

#include "app/globals.h"

#include "scene/clear.h"
#include "scene/error.h"
#include "scene/game.h"
#include "scene/load.h"
#include "scene/title.h"

int16_t g_fadeLevel = 0;
int8_t g_fadeSpeed = 0;
int16_t g_fadeRed = 0, g_fadeGreen = 0, g_fadeBlue = 0;

SceneManager::SceneManager() {
    scenes[SCENE_TITLE] = new STitle();
    scenes[SCENE_LOAD] = new SLoad();
    scenes[SCENE_GAME] = new SGame();
    scenes[SCENE_CLEAR] = new SClear();
    scenes[SCENE_ERROR] = new SError();
    current = scenes[SCENE_TITLE];
    current->Enter();
}

SceneManager::~SceneManager() {
    if (current) current->Leave();
    current = nullptr;
    for (Scene*& scene : scenes) {
        delete scene;
        scene = nullptr;
    }
}

void SceneManager::Step() {
    SceneId id = current->Update();
    Scene* next = scenes[id];
    if (next != current) {
        current->Leave();
        current = next;
        current->Enter();
    }
}

void SceneManager::Draw() {
    current->Draw3D();
    current->Draw2D();
}

void StepFade() {
    int level = g_fadeLevel;
    int speed = g_fadeSpeed;
    // A positive speed climbs to exactly 255 and holds there; a negative one falls to 0 and holds.
    if (speed > 0 && level < 255) level += speed;
    if (speed < 0 && level > 0) level += speed;
    if (level < 0) level = 0;
    if (level > 255) level = 255;
    g_fadeLevel = static_cast<int16_t>(level);
}

void DrawFadeOverlay() {
    D3DXMATRIX stretch;
    D3DXMatrixScaling(&stretch, 640.0f, 480.0f, 0.0f);
    g_sprite->SetTransform(&stretch);
    RECT centreTexel = {1, 1, 2, 2};  // no edge texel is filtered in
    D3DXVECTOR3 centre(0.0f, 0.0f, 0.0f);
    g_sprite->Draw(g_whiteTexture, &centreTexel, &centre, nullptr,
                   D3DCOLOR_ARGB(g_fadeLevel, g_fadeRed, g_fadeGreen, g_fadeBlue));
    g_sprite->End();
}
