// STitle: the title screen.
#include "scene/title.h"

bool STitle::Enter() { return true; }

SceneId STitle::Update() { return SCENE_TITLE; }

void STitle::Draw3D() {}

void STitle::Draw2D() {}

void STitle::Leave() {}
