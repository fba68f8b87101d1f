// SLoad: the screen between the title (or a finished or failed stage) and the game; it loads the stage
// named by the stage index.
#include "scene/load.h"

#include <d3dx9.h>

#include "app/globals.h"
#include "app/fade.h"

bool SLoad::Enter() { return true; }

// The stage loader belongs here; until stages exist the load screen holds on the fade it was given.
SceneId SLoad::Update() { return SCENE_LOAD; }

void SLoad::Draw3D() {}  // nothing clears: the previous picture stays under the overlay

void SLoad::Draw2D() {
    g_sprite->Begin(D3DXSPRITE_ALPHABLEND);
    DrawFadeOverlay();
}

void SLoad::Leave() {}
