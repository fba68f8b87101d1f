// SLoad: loads the stage named by the stage index.
#include "scene/load.h"

bool SLoad::Enter() { return true; }

SceneId SLoad::Update() { return SCENE_LOAD; }

void SLoad::Draw3D() {}

void SLoad::Draw2D() {}

void SLoad::Leave() {}
