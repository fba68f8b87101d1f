// STitle: the title screen, with the title mesh turning and the gun circling it; Enter starts the game.
#pragma once

#include <d3d9.h>
#include <d3dx9.h>

#include "app/scene.h"

class STitle : public Scene {
public:
    bool Enter() override;
    SceneId Update() override;
    void Draw3D() override;
    void Draw2D() override;
    void Leave() override;

    IDirect3DTexture9* titleTexture = nullptr;
    IDirect3DTexture9* pushEnterTexture = nullptr;
    D3DXVECTOR3 lookAt;
    D3DXVECTOR3 eye;
    float angle = 0.0f;  // both meshes' turn about the vertical axis, degrees
    float speed = 0.0f;  // spin and camera glide once started
    float blink = 0.0f;  // the prompt's alpha
    bool started = false;
};
