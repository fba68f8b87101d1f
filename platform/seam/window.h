// The narrow window seam under the Win32 layer: one window, its events, keys, pointer, message boxes, clock.
// Implemented by sdl/ (a real window) and headless/ (scripted input, recorded boxes, a fixed-step clock).
//
// Call order: create() once before anything else here; show() and setClientSize() any time after it;
// pollEvent() drains what happened since the last call; the key, pointer and focus queries read the
// state as of the last pollEvent(). messageBox() may be called before create() (the game asks its first
// question that way) and blocks until answered.
#pragma once

#include <cstdint>

namespace seam {

enum class EventKind {
    Close,        // the user asked the window to close
    KeyDown,      // vk holds the Windows virtual-key code, repeat is true for auto-repeats
    MouseMotion,  // dx, dy: relative motion in client pixels
    FocusGained,
    FocusLost,
};

struct Event {
    EventKind kind;
    int vk;
    bool repeat;
    int dx, dy;
};

bool windowCreate(const char* title, int clientWidth, int clientHeight);
void windowDestroy();
bool windowExists();
void windowShow();
void windowSetClientSize(int width, int height);
void windowClientSize(int& width, int& height);
void windowOrigin(int& x, int& y);  // screen position of the client area's top-left corner

bool pollEvent(Event& event);
bool hasFocus();
bool isKeyDown(int vk);  // keyboard keys and mouse buttons by virtual-key code, false without focus
void pointerPosition(int& x, int& y);  // absolute pointer position in client coordinates
void setRelativeMouse(bool on);        // capture the pointer and report motion only

// Shows a modal box. `text` and `title` are UTF-8. Returns IDOK, IDYES or IDNO.
int messageBox(const char* text, const char* title, unsigned flags);

uint32_t ticksMs();

}  // namespace seam
