// SError: the dead end after a stage texture failed.
#pragma once

#include "app/scene.h"

class SError : public Scene {
public:
    bool Enter() override;
    SceneId Update() override;
    void Draw3D() override;
    void Draw2D() override;
    void Leave() override;
};
