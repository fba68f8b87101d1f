// What the Win32 layer's files share among themselves.
#pragma once

#include <windows.h>

namespace win32 {

WNDPROC windowProc(HWND hWnd);  // null for anything but the live main window
HWND mainWindowHandle();
void destroyMainWindow();

void updatePointerCapture();              // follows cursor visibility and focus
void releasePointerForModal(bool release);  // a modal box gets a free pointer
void addMotion(int dx, int dy);

// Back to the state of a fresh process (the window gone, no classes, the cursor shown), so tests can
// run the game more than once in one process.
void resetWindowState();
void resetQueueState();
void resetKeyState();

}  // namespace win32
