// What the SDL window shares with the OpenGL device: the window itself and the one-time SDL set-up.
#pragma once

#include <SDL.h>

namespace sdl {
bool initVideo();        // SDL's video and timer subsystems, started once
SDL_Window* window();    // null until the game creates its window
void framePresented();   // the device showed a frame: replay scripts move on
}  // namespace sdl
