// STitle: the title screen, with the title mesh turning and the gun circling it; Enter starts the game.
#include "scene/title.h"

#include "app/globals.h"
#include "app/input.h"
#include "app/fade.h"
#include "resource/resource_cache.h"
#include "sound/sound_bank.h"

namespace {
constexpr float kDegrees = 0.01745329238474369f;

void SpinBack(float& angle) {
    while (angle > 360.0f) angle -= 360.0f;
}
}  // namespace

bool STitle::Enter() {
    if (!LoadTexture(&titleTexture, "data/texture/title.png", 512, 128, 0)) return false;
    if (!LoadTexture(&pushEnterTexture, "data/texture/pushenter.png", 256, 64, 0)) return false;
    g_resourceCache->LoadMesh("title.x");
    g_resourceCache->LoadMesh("gun.x");

    // The gun's three lamps glow translucent blue on the title, until a stage load empties the cache.
    D3DMATERIAL9 lamp;
    ZeroMemory(&lamp, sizeof lamp);
    lamp.Diffuse = D3DCOLORVALUE{0.1f, 0.1f, 1.0f, 0.5f};
    lamp.Ambient = D3DCOLORVALUE{0.1f, 0.1f, 1.0f, 0.0f};
    lamp.Emissive = D3DCOLORVALUE{0.1f, 0.1f, 1.0f, 0.0f};
    lamp.Power = 0.0f;
    if (MeshRecord* gun = g_resourceCache->Find("gun.x")) {
        for (DWORD i = 4; i <= 6 && i < gun->materialCount; ++i) gun->materials[i] = lamp;
    }

    angle = 0.0f;
    eye = D3DXVECTOR3(5.0f, 22.0f, -15.0f);
    lookAt = D3DXVECTOR3(5.0f, 20.0f, 0.0f);
    started = false;
    g_fadeLevel = 0;
    g_fadeSpeed = 0;
    return true;
}

SceneId STitle::Update() {
    if (!started) {
        blink -= 3.0f;
        if (blink <= 100.0f) blink = 255.0f;
        angle += 0.5f;
        SpinBack(angle);
        if (g_input.enter.Triggered()) {
            started = true;
            speed = 5.0f;
            blink = 255.0f;
            // Fade to white: two levels a frame, full after 128 frames.
            g_fadeLevel = 0;
            g_fadeRed = g_fadeGreen = g_fadeBlue = 255;
            g_fadeSpeed = 2;
            g_soundBank->Play("cursor37.wav", -1000, 0);
        }
        return SCENE_TITLE;
    }
    blink -= 50.0f;  // a four-frame flicker: 205, 155, 105, 255
    if (blink <= 100.0f) blink = 255.0f;
    angle += speed / 5.0f;
    SpinBack(angle);
    // The camera glides in toward (0, 22, -5) as the spin slows.
    eye.x = speed;
    eye.z = -5.0f - 2.0f * speed;
    lookAt.x = speed;
    speed *= 0.97f;
    return g_fadeLevel >= 255 ? SCENE_LOAD : SCENE_TITLE;
}

void STitle::Draw3D() {
    g_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFC8C8C8, 1.0f, 0);
    D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&g_viewMatrix, &eye, &lookAt, &up);
    D3DXMatrixPerspectiveFovLH(&g_projectionMatrix, 0.8726646f, 1.3333334f, 1.0f, 1000.0f);
    g_device->SetTransform(D3DTS_VIEW, &g_viewMatrix);
    g_device->SetTransform(D3DTS_PROJECTION, &g_projectionMatrix);
    g_device->SetRenderState(D3DRS_LIGHTING, TRUE);
    g_device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    g_device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    g_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);

    D3DXMATRIX world;
    D3DXMatrixRotationY(&world, angle * kDegrees);
    g_device->SetTransform(D3DTS_WORLD, &world);
    if (MeshRecord* title = g_resourceCache->Find("title.x")) title->Draw();

    // The gun sits 3 out, circles the vertical axis with the title, lifted to height 20.
    D3DXMATRIX out, turn, lift;
    D3DXMatrixTranslation(&out, 0.0f, 0.0f, 3.0f);
    D3DXMatrixRotationY(&turn, angle * kDegrees);
    D3DXMatrixTranslation(&lift, 0.0f, 20.0f, 0.0f);
    D3DXMatrixMultiply(&world, &out, &turn);
    D3DXMatrixMultiply(&world, &world, &lift);
    g_device->SetTransform(D3DTS_WORLD, &world);
    if (MeshRecord* gun = g_resourceCache->Find("gun.x")) gun->Draw();
}

void STitle::Draw2D() {
    g_sprite->Begin(D3DXSPRITE_ALPHABLEND);
    D3DXMATRIX place;
    D3DXVECTOR3 corner(0.0f, 0.0f, 0.0f);
    D3DXMatrixTranslation(&place, 15.0f, 20.0f, 0.0f);
    g_sprite->SetTransform(&place);
    RECT titleRect = {0, 0, 512, 128};
    g_sprite->Draw(titleTexture, &titleRect, &corner, nullptr, 0xFFFFFFFF);

    D3DXMatrixTranslation(&place, 390.0f, 350.0f, 0.0f);
    g_sprite->SetTransform(&place);
    RECT promptRect = {0, 0, 256, 64};
    int alpha = static_cast<int>(blink);
    g_sprite->Draw(pushEnterTexture, &promptRect, &corner, nullptr, D3DCOLOR_ARGB(alpha, 255, 255, 255));

    DrawFadeOverlay();  // the last draw; ends the sprite
}

void STitle::Leave() {
    if (titleTexture) titleTexture->Release();
    titleTexture = nullptr;
    if (pushEnterTexture) pushEnterTexture->Release();
    pushEnterTexture = nullptr;
}
