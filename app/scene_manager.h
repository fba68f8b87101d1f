// The five scenes, the current one, and the screen fade that every scene shares.
#pragma once

#include <cstdint>

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

// The fade overlay: its opacity is stepped once per frame by a signed speed.
extern int16_t g_fadeLevel;  // 0 (invisible) to 255 (opaque)
extern int8_t g_fadeSpeed;   // added each frame; positive fades out, negative fades back in
extern int16_t g_fadeRed, g_fadeGreen, g_fadeBlue;  // overlay colour, low 8 bits used

void StepFade();

// The last sprite draw of a scene's 2D pass (the scene has begun the sprite): the fade colour at the
// fade level stretched over the screen from the centre texel of the white texture; ends the sprite.
void DrawFadeOverlay();
