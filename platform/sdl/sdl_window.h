// What the SDL window shares with the OpenGL device: the window itself and the one-time SDL set-up.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <deque>
#include <string>

#include "seam/window.h"

namespace sdl {
bool initVideo();        // SDL's video and timer subsystems, started once
SDL_Window* window();    // null until the game creates its window
void framePresented();   // the device showed a frame: replay scripts move on

// The largest inner-shaped rectangle that fits the outer size, centred: where a picture lands.
SDL_Rect fitRect(int outerW, int outerH, int innerW, int innerH);

// Full screen is the desktop's own mode with the picture scaled into it, never a mode switch; off, the
// window returns to the place and size it had.
void setFullScreen(bool on);

// Gamepads (pad.cpp): started with the video; plugged in and out by events; read once a frame, when
// the window has focus, into cursor motion and Escape events and the keys they hold.
void padInit();
void padEvent(const SDL_Event& e);
void padFrame(bool focused, uint32_t nowMs, std::deque<seam::Event>& events);
bool padHolds(int vk);
void padReset();

// A box on the desktop's own dialog (dialog.cpp): the index of the button pressed, kDialogClosed when
// it was closed without one, kDialogUnavailable when the desktop has no dialog program to show it.
constexpr int kDialogClosed = -1;
constexpr int kDialogUnavailable = -2;
int desktopDialog(const std::string& title, const std::string& text, const char* const* labels, int count,
                  bool error);
}  // namespace sdl
