// SGame: a stage being played. Objects, then the player, each frame; the stage ends once the fade has
// covered the screen after the goal or a death.
#include "scene/game.h"

#include <d3dx9.h>
#include <windows.h>

#include "app/fade.h"
#include "app/globals.h"
#include "player/gun.h"
#include "player/player_state.h"
#include "player/update.h"
#include "sound/sound_bank.h"
#include "stage/obj.h"
#include "stage/stage_state.h"

namespace {

void ReleaseTexture(IDirect3DTexture9*& texture) {
    if (texture) texture->Release();
    texture = nullptr;
}

// The blood overlay's opacity: none at full health, opaque at 0 (and below, for the frame in which a
// fall has taken more than was left).
DWORD BloodAlpha(float health) {
    int a = static_cast<int>(255.0f - health);
    if (a < 0) a = 0;
    if (a > 255) a = 255;
    return static_cast<DWORD>(a);
}

}  // namespace

bool SGame::Enter() {
    ShowCursor(FALSE);
    g_device->SetRenderState(D3DRS_FOGENABLE, FALSE);
    // The stage comes out of white in 51 frames.
    g_fadeLevel = 255;
    g_fadeRed = g_fadeGreen = g_fadeBlue = 255;
    g_fadeSpeed = -5;
    if (SoundEntry* hum = g_soundBank->Find("mecha01.wav")) hum->StopAll();
    g_soundBank->Play("mecha01.wav", -2500, DSBPLAY_LOOPING);
    return true;
}

SceneId SGame::Update() {
    for (Obj* obj = g_objRoot.next; obj; obj = obj->next) obj->Update();
    UpdatePlayer();
    if (g_goalReached && g_fadeLevel >= 255) {
        // Stages 1 to 4 load; anything else, 0 and below included, is the end of the game.
        return static_cast<unsigned>(g_stageIndex - 1) > 3u ? SCENE_CLEAR : SCENE_LOAD;
    }
    if (g_player.dead && g_fadeLevel >= 255) return SCENE_LOAD;  // the same stage again
    return SCENE_GAME;
}

void SGame::Draw3D() {
    g_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF969696, 1.0f, 0);
    D3DXMatrixLookAtLH(&g_viewMatrix, &g_player.position, &g_player.lookAt, &g_player.up);
    D3DXMatrixPerspectiveFovLH(&g_projectionMatrix, 0.8726646304130554f, 1.3333333730697632f, 1.0f, kBeamMaxLength);
    g_device->SetTransform(D3DTS_VIEW, &g_viewMatrix);
    g_device->SetTransform(D3DTS_PROJECTION, &g_projectionMatrix);
    g_device->SetRenderState(D3DRS_LIGHTING, TRUE);
    g_device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    g_device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    for (Obj* obj = g_objRoot.next; obj; obj = obj->next) obj->Draw();
    DrawPlayer();
    g_device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    g_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

void SGame::Draw2D() {
    g_sprite->Begin(D3DXSPRITE_ALPHABLEND);
    D3DXMATRIX place;
    D3DXVECTOR3 centre(32.0f, 32.0f, 0.0f);
    D3DXMatrixTranslation(&place, 320.0f, 240.0f, 0.0f);
    g_sprite->SetTransform(&place);
    RECT crosshair = {0, 0, 64, 64};
    g_sprite->Draw(g_crosshairTexture, &crosshair, &centre, nullptr, 0xFFFFFFFF);

    D3DXMatrixIdentity(&place);
    g_sprite->SetTransform(&place);
    RECT screen = {0, 0, 640, 480};
    D3DXVECTOR3 corner(0.0f, 0.0f, 0.0f);
    g_sprite->Draw(g_bloodTexture, &screen, &corner, nullptr, (BloodAlpha(g_player.health) << 24) | 0xFFFFFF);

    DrawFadeOverlay();  // the last draw; ends the sprite
}

void SGame::Leave() {
    ReleaseTexture(g_laserTexture);
    ReleaseTexture(g_hitTexture);
    ReleaseTexture(g_crosshairTexture);
}
