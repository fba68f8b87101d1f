// SError: the dead end after a stage texture failed. It shows nothing, reads nothing and never leaves;
// only closing the window or Escape ends it.
#include "scene/error.h"

bool SError::Enter() { return true; }

SceneId SError::Update() { return SCENE_ERROR; }

void SError::Draw3D() {}

void SError::Draw2D() {}

void SError::Leave() {}
