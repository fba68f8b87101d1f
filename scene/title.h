// STitle: the title screen.
#pragma once

#include "app/scene.h"

class STitle : public Scene {
public:
    bool Enter() override;
    SceneId Update() override;
    void Draw3D() override;
    void Draw2D() override;
    void Leave() override;
};
