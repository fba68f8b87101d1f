// SLoad: loads the stage named by the stage index.
#pragma once

#include "app/scene.h"

class SLoad : public Scene {
public:
    bool Enter() override;
    SceneId Update() override;
    void Draw3D() override;
    void Draw2D() override;
    void Leave() override;
};
