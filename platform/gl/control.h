// What rendering tests and the replay runner may ask of the real backends beyond the platform's own
// interfaces: boxes answered without a person, the back buffer read back, Present without the pace.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace real {

// Every message box is answered with `answer` (IDYES, IDNO, IDOK...) instead of being shown; 0 shows them.
void autoAnswerMessageBoxes(int answer);

// The 640 × 480 back buffer as it is now, before Present shows it: ARGB words, rows top-down.
bool readBackBuffer(std::vector<uint32_t>& argb);

// The window's own pixels (what the last Present showed), with its size: for full-screen checks.
bool readWindow(std::vector<uint32_t>& argb, int& width, int& height);

// Present without waiting for the next sixtieth of a second (for measurements).
void setUnpaced(bool unpaced);

// Replays: input comes from a script instead of the person at the keyboard, while the window, the
// picture and the sound stay real. Keys are Windows virtual-key codes.
void scriptInput(bool on);
void holdKey(int vk, bool down);
void pushKeyDown(int vk);
void pushClose();
void moveMouse(int dx, int dy);
void queueAnswer(int answer);  // boxes take queued answers first, then the automatic one

// Frames: the hook runs when frame N is about to start (N = frames presented since the window was
// created); after `limit` frames the window is closed.
void onFrame(std::function<void(int frame)> hook);
void setFrameLimit(int limit);
int frameCount();

// A gamepad for tests and replays: SDL's own virtual joystick, registered as a game controller, so it
// goes through the same code as a pad in the player's hands. Attach plugs it in (at rest) and fails
// where SDL has no pads; detach pulls it out. Buttons are pad::Button, axes pad::Axis, with the values
// of pad::State (triggers from 0 to 32767).
bool attachVirtualPad();
void detachVirtualPad();
void setVirtualPadButton(int button, bool down);
void setVirtualPadAxis(int axis, int value);

}  // namespace real
