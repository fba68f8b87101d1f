// SClear: the picture, the fade in from black over 255 frames, Enter, the fade to black over 128, the title.
#include "scene/clear.h"

#include <d3dx9.h>

#include "app/fade.h"
#include "app/globals.h"
#include "app/input.h"
#include "resource/resource_cache.h"
#include "sound/sound_bank.h"

bool SClear::Enter() {
    if (!LoadTexture(&clearTexture, "data/texture/clear.png", 640, 480, 0)) return false;
    g_fadeLevel = 255;
    g_fadeRed = g_fadeGreen = g_fadeBlue = 0;
    g_fadeSpeed = -1;
    leaving = false;
    // The stage's background loop ends here, every voice of it, without a warning.
    if (g_soundBank) {
        if (SoundEntry* loop = g_soundBank->Find("mecha01.wav")) loop->StopAll();
    }
    return true;
}

SceneId SClear::Update() {
    if (!leaving) {
        if (g_input.enter.Down()) {
            // Shown at full brightness at once, then to black at two levels a frame.
            leaving = true;
            g_fadeLevel = 0;
            g_fadeSpeed = 2;
        }
        return SCENE_CLEAR;
    }
    if (g_fadeLevel == 255) {
        g_stageIndex = 1;
        return SCENE_TITLE;
    }
    return SCENE_CLEAR;
}

// The picture covers the whole screen: nothing to clear, nothing in 3D.
void SClear::Draw3D() {}

void SClear::Draw2D() {
    g_sprite->Begin(D3DXSPRITE_ALPHABLEND);
    D3DXMATRIX place;
    D3DXMatrixTranslation(&place, 0.0f, 0.0f, 0.0f);
    g_sprite->SetTransform(&place);
    RECT whole = {0, 0, 640, 480};
    D3DXVECTOR3 corner(0.0f, 0.0f, 0.0f);
    g_sprite->Draw(clearTexture, &whole, &corner, nullptr, 0xFFFFFFFF);
    DrawFadeOverlay();  // ends the sprite
}

void SClear::Leave() {
    if (clearTexture) clearTexture->Release();
    clearTexture = nullptr;
}
