// SClear: the screen after the last stage; the picture fades in from black, Enter fades it to black
// and the title follows, with the next game starting at the first stage.
#pragma once

#include <d3d9.h>

#include "app/scene.h"

class SClear : public Scene {
public:
    bool Enter() override;
    SceneId Update() override;
    void Draw3D() override;
    void Draw2D() override;
    void Leave() override;

    IDirect3DTexture9* clearTexture = nullptr;
    bool leaving = false;  // Enter has been pressed and the fade to black runs
};
