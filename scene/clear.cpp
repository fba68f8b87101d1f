// SClear: the screen after the last stage.
#include "scene/clear.h"

bool SClear::Enter() { return true; }

SceneId SClear::Update() { return SCENE_CLEAR; }

void SClear::Draw3D() {}

void SClear::Draw2D() {}

void SClear::Leave() {}
