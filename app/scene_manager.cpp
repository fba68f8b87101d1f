// Scene switching.
#include "app/scene_manager.h"

#include "scene/clear.h"
#include "scene/error.h"
#include "scene/game.h"
#include "scene/load.h"
#include "scene/title.h"

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
