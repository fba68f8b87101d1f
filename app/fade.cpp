// The fade's state, its step and its overlay.
#include "app/fade.h"

#include <d3dx9.h>

#include "app/globals.h"

int16_t g_fadeLevel = 0;
int8_t g_fadeSpeed = 0;
int16_t g_fadeRed = 0, g_fadeGreen = 0, g_fadeBlue = 0;

void StepFade() {
    int level = g_fadeLevel;
    int speed = g_fadeSpeed;
    // A positive speed climbs to exactly 255 and holds there; a negative one falls to 0 and holds.
    if (speed > 0 && level < 255) level += speed;
    if (speed < 0 && level > 0) level += speed;
    if (level < 0) level = 0;
    if (level > 255) level = 255;
    g_fadeLevel = static_cast<int16_t>(level);
}

void DrawFadeOverlay() {
    D3DXMATRIX stretch;
    D3DXMatrixScaling(&stretch, 640.0f, 480.0f, 0.0f);
    g_sprite->SetTransform(&stretch);
    RECT centreTexel = {1, 1, 2, 2};  // no edge texel is filtered in
    D3DXVECTOR3 centre(0.0f, 0.0f, 0.0f);
    g_sprite->Draw(g_whiteTexture, &centreTexel, &centre, nullptr,
                   D3DCOLOR_ARGB(g_fadeLevel, g_fadeRed, g_fadeGreen, g_fadeBlue));
    g_sprite->End();
}
