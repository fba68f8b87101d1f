// The player's body: at the eye every frame, never seen.
#include "stage/oplycol.h"

#include <algorithm>

#include "app/globals.h"
#include "player/player_state.h"

void OPlyCol::Update() { position = g_player.position; }

void OPlyCol::Draw() {
    g_device->SetTexture(0, nullptr);
    std::copy(baseVertices.begin(), baseVertices.end(), workVertices.begin());
    D3DXMATRIX world = DrawMatrix();
    g_device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    g_device->SetTransform(D3DTS_WORLD, &world);
}
