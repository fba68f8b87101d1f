// The five scenes and the current one: the only place that knows the scene classes.
#pragma once

#include "app/scene.h"

class SceneManager {
public:
    SceneManager();  // creates the five scenes and enters the title
    ~SceneManager(); // leaves the current scene and deletes all five

    void Step();  // update the current scene and switch if it names another
    void Draw();  // the current scene's 3D pass, then its 2D pass

    Scene* scenes[5];
    Scene* current;
};
