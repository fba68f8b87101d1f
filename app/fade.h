// The screen fade every scene shares: an overlay of one colour whose opacity steps once per frame.
#pragma once

#include <cstdint>

extern int16_t g_fadeLevel;                         // 0 (invisible) to 255 (opaque)
extern int8_t g_fadeSpeed;                          // added each frame; positive fades out, negative fades back in
extern int16_t g_fadeRed, g_fadeGreen, g_fadeBlue;  // overlay colour, low 8 bits used

void StepFade();

// The last sprite draw of a scene's 2D pass (the scene has begun the sprite): the fade colour at the
// fade level stretched over the screen from the centre texel of the white texture; ends the sprite.
void DrawFadeOverlay();
