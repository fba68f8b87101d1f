// SGame: a stage being played.
#pragma once

#include "app/scene.h"

class SGame : public Scene {
public:
    bool Enter() override;
    SceneId Update() override;
    void Draw3D() override;
    void Draw2D() override;
    void Leave() override;
};
