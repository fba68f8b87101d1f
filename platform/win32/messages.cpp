// The thread's message queue: window events become messages, PostQuitMessage ends the loop, and the
// default window procedure closes the window the way Windows does.
#include <windows.h>

#include <chrono>
#include <deque>
#include <thread>

#include "seam/trace.h"
#include "seam/window.h"
#include "win32/internal.h"

namespace {

std::deque<MSG> queue;
bool quitPosted = false;
int quitCode = 0;
bool lastKeyDown[256] = {};

void pump() {
    seam::Event e;
    while (seam::pollEvent(e)) {
        HWND hWnd = win32::mainWindowHandle();
        switch (e.kind) {
            case seam::EventKind::Close:
                if (hWnd) queue.push_back(MSG{hWnd, WM_CLOSE, 0, 0, seam::ticksMs(), {0, 0}});
                break;
            case seam::EventKind::KeyDown:
                if (hWnd && e.vk > 0 && e.vk < 256) {
                    // lParam: repeat count 1, bit 30 set when the key was already down (an auto-repeat).
                    LPARAM lParam = 1 | ((e.repeat ? 1L : 0L) << 30);
                    queue.push_back(MSG{hWnd, WM_KEYDOWN, static_cast<WPARAM>(e.vk), lParam, seam::ticksMs(), {0, 0}});
                }
                break;
            case seam::EventKind::MouseMotion: win32::addMotion(e.dx, e.dy); break;
            case seam::EventKind::FocusGained:
            case seam::EventKind::FocusLost: win32::updatePointerCapture(); break;
        }
    }
}

bool next(MSG* msg, bool remove) {
    if (!queue.empty()) {
        *msg = queue.front();
        if (remove) queue.pop_front();
        return true;
    }
    if (quitPosted) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(quitCode), 0, seam::ticksMs(), {0, 0}};
        if (remove) quitPosted = false;
        return true;
    }
    return false;
}

}  // namespace

namespace win32 {
void resetQueueState() {
    queue.clear();
    quitPosted = false;
    quitCode = 0;
}
void resetKeyState() {
    for (bool& k : lastKeyDown) k = false;
}
}  // namespace win32

BOOL WINAPI PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT removeMsg) {
    if (!msg) return FALSE;
    pump();
    return next(msg, (removeMsg & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND, UINT, UINT) {
    if (!msg) return -1;
    for (;;) {
        pump();
        if (next(msg, true)) return msg->message == WM_QUIT ? FALSE : TRUE;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (!msg) return 0;
    WNDPROC proc = win32::windowProc(msg->hwnd);
    return proc ? proc(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}

void WINAPI PostQuitMessage(int exitCode) {
    quitPosted = true;
    quitCode = exitCode;
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT message, WPARAM, LPARAM) {
    seam::trace(message == WM_CLOSE     ? "DefWindowProcA WM_CLOSE"
                : message == WM_KEYDOWN ? "DefWindowProcA WM_KEYDOWN"
                                        : "DefWindowProcA");
    if (message == WM_CLOSE) DestroyWindow(hWnd);
    return 0;
}

SHORT WINAPI GetAsyncKeyState(int vKey) {
    if (vKey <= 0 || vKey >= 256) return 0;
    bool down = seam::isKeyDown(vKey);
    bool pressedSinceLast = down && !lastKeyDown[vKey];
    lastKeyDown[vKey] = down;
    if (!down) return 0;
    return static_cast<SHORT>(0x8000 | (pressedSinceLast ? 1 : 0));
}

int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    seam::trace("MessageBoxA");
    win32::releasePointerForModal(true);
    int answer = seam::messageBox(text ? text : "", caption ? caption : "Error", type);
    win32::releasePointerForModal(false);
    if (seam::messageBoxHook) seam::messageBoxHook(text ? text : "", caption ? caption : "Error", type, answer);
    return answer;
}

MMRESULT WINAPI timeBeginPeriod(UINT period) {
    seam::trace("timeBeginPeriod");
    return period == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR;
}
MMRESULT WINAPI timeEndPeriod(UINT period) {
    seam::trace("timeEndPeriod");
    return period == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR;
}
DWORD WINAPI timeGetTime() { return seam::ticksMs(); }
