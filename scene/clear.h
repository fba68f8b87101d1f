// SClear: the screen after the last stage.
#pragma once

#include "app/scene.h"

class SClear : public Scene {
public:
    bool Enter() override;
    SceneId Update() override;
    void Draw3D() override;
    void Draw2D() override;
    void Leave() override;
};
