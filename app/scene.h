// The interface every screen of the game implements, and the ids the scenes name each other by.
#pragma once

enum SceneId : int {
    SCENE_TITLE = 0,
    SCENE_LOAD = 1,
    SCENE_GAME = 2,
    SCENE_CLEAR = 3,
    SCENE_ERROR = 4,
};

class Scene {
public:
    virtual bool Enter() = 0;      // becomes current: load, reset, set the fade
    virtual SceneId Update() = 0;  // one frame; names the scene to be current next (its own id to stay)
    virtual void Draw3D() = 0;
    virtual void Draw2D() = 0;     // ends with the fade overlay
    virtual void Leave() = 0;      // release what Enter acquired
    virtual ~Scene() = default;
};
