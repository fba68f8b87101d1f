// SGame: a stage being played.
#include "scene/game.h"

bool SGame::Enter() { return true; }

SceneId SGame::Update() { return SCENE_GAME; }

void SGame::Draw3D() {}

void SGame::Draw2D() {}

void SGame::Leave() {}
