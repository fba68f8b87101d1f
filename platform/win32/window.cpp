// Window class, the one window, its frame metrics, cursor visibility and the virtual cursor behind
// GetCursorPos/SetCursorPos.
#include <windows.h>

#include <map>
#include <string>

#include "seam/trace.h"
#include "seam/window.h"
#include "win32/internal.h"

struct HWND__ {
    WNDPROC proc;
    bool alive;
};
struct HICON__ {
    int unused;
};
struct HGDIOBJ__ {
    int unused;
};

namespace {

std::map<std::string, WNDCLASSA> classes;
HWND__ mainWindow{nullptr, false};
HICON__ stockIcon{0};
HGDIOBJ__ stockObject{0};

// The border a Windows 10 desktop draws around an overlapped window: 8 px of sizing frame on each side
// and a 23 px caption above the client area.
constexpr int kFrame = 8;
constexpr int kCaption = 23;

int frameWidth(DWORD style) { return (style & WS_THICKFRAME) ? 2 * kFrame : 0; }
int frameHeight(DWORD style) {
    return ((style & WS_THICKFRAME) ? 2 * kFrame : 0) + ((style & WS_CAPTION) == WS_CAPTION ? kCaption : 0);
}

DWORD windowStyle = WS_OVERLAPPEDWINDOW;

// The virtual cursor: client coordinates the game reads and recentres; fed by relative motion while the
// cursor is hidden and the window has focus, so the real pointer is never warped.
struct Cursor {
    int showCount = 0;
    bool relative = false;
    long vx = 0, vy = 0;
} cursor;

}  // namespace

namespace win32 {

WNDPROC windowProc(HWND hWnd) { return (hWnd == &mainWindow && mainWindow.alive) ? mainWindow.proc : nullptr; }
HWND mainWindowHandle() { return mainWindow.alive ? &mainWindow : nullptr; }

void updatePointerCapture() {
    bool want = cursor.showCount < 0 && seam::windowExists() && seam::hasFocus();
    if (want == cursor.relative) return;
    // The virtual cursor keeps where it was last put (the game centres it just before hiding it), so
    // capturing starts mouse look from rest rather than from wherever the real pointer happens to be.
    cursor.relative = want;
    seam::setRelativeMouse(want);
}

void releasePointerForModal(bool release) {
    if (!cursor.relative) return;
    seam::setRelativeMouse(!release);
}

void addMotion(int dx, int dy) {
    if (!cursor.relative) return;
    cursor.vx += dx;
    cursor.vy += dy;
}

void destroyMainWindow() {
    if (!mainWindow.alive) return;
    mainWindow.alive = false;
    cursor.relative = false;
    seam::windowDestroy();
}

void resetWindowState() {
    classes.clear();
    mainWindow = HWND__{nullptr, false};
    cursor = Cursor{};
    windowStyle = WS_OVERLAPPEDWINDOW;
}

}  // namespace win32

ATOM WINAPI RegisterClassA(const WNDCLASSA* wc) {
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc) return 0;
    seam::trace("RegisterClassA");
    classes[wc->lpszClassName] = *wc;
    return static_cast<ATOM>(0xC000 + classes.size());
}

HWND WINAPI CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD style, int, int, int width,
                            int height, HWND, HMENU, HINSTANCE, LPVOID) {
    seam::trace("CreateWindowExA");
    auto it = className ? classes.find(className) : classes.end();
    if (it == classes.end() || mainWindow.alive) return nullptr;
    if (width == CW_USEDEFAULT) width = 640 + frameWidth(style);
    if (height == CW_USEDEFAULT) height = 480 + frameHeight(style);
    int clientW = width - frameWidth(style);
    int clientH = height - frameHeight(style);
    if (clientW < 1) clientW = 1;
    if (clientH < 1) clientH = 1;
    if (!seam::windowCreate(windowName ? windowName : "", clientW, clientH)) return nullptr;
    windowStyle = style;
    mainWindow.proc = it->second.lpfnWndProc;
    mainWindow.alive = true;
    return &mainWindow;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    if (hWnd != &mainWindow || !mainWindow.alive) return FALSE;
    WNDPROC proc = mainWindow.proc;
    proc(hWnd, WM_DESTROY, 0, 0);
    win32::destroyMainWindow();
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND hWnd, int cmdShow) {
    seam::trace("ShowWindow");
    if (hWnd != &mainWindow || !mainWindow.alive) return FALSE;
    if (cmdShow != SW_HIDE) seam::windowShow();
    return FALSE;  // "was previously hidden"
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    seam::trace("UpdateWindow");
    return hWnd == &mainWindow && mainWindow.alive;
}

HWND WINAPI SetFocus(HWND hWnd) {
    seam::trace("SetFocus");
    return hWnd;
}

BOOL WINAPI AdjustWindowRect(LPRECT rect, DWORD style, BOOL) {
    seam::trace("AdjustWindowRect");
    if (!rect) return FALSE;
    int side = frameWidth(style) / 2;
    rect->left -= side;
    rect->right += side;
    rect->top -= frameHeight(style) - side;
    rect->bottom += side;
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND hWnd, HWND, int, int, int cx, int cy, UINT flags) {
    seam::trace("SetWindowPos");
    if (hWnd != &mainWindow || !mainWindow.alive) return FALSE;
    if (!(flags & SWP_NOSIZE)) {
        int w = cx - frameWidth(windowStyle), h = cy - frameHeight(windowStyle);
        seam::windowSetClientSize(w < 1 ? 1 : w, h < 1 ? 1 : h);
    }
    if (flags & SWP_SHOWWINDOW) seam::windowShow();
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT rect) {
    if (hWnd != &mainWindow || !mainWindow.alive || !rect) return FALSE;
    int w = 0, h = 0;
    seam::windowClientSize(w, h);
    *rect = RECT{0, 0, w, h};
    return TRUE;
}

int WINAPI ShowCursor(BOOL show) {
    seam::trace(show ? "ShowCursor TRUE" : "ShowCursor FALSE");
    cursor.showCount += show ? 1 : -1;
    win32::updatePointerCapture();
    return cursor.showCount;
}

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR) { return &stockIcon; }
HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR) { return &stockIcon; }
HGDIOBJ WINAPI GetStockObject(int) { return &stockObject; }

BOOL WINAPI GetCursorPos(LPPOINT point) {
    if (!point) return FALSE;
    int ox = 0, oy = 0;
    seam::windowOrigin(ox, oy);
    // While the cursor is shown and the window has focus the game sees the real pointer; otherwise it
    // sees the virtual one, which only moves with captured motion and SetCursorPos.
    if (!cursor.relative && seam::windowExists() && seam::hasFocus() && cursor.showCount >= 0) {
        int x = 0, y = 0;
        seam::pointerPosition(x, y);
        cursor.vx = x;
        cursor.vy = y;
    }
    point->x = ox + cursor.vx;
    point->y = oy + cursor.vy;
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    int ox = 0, oy = 0;
    seam::windowOrigin(ox, oy);
    cursor.vx = x - ox;
    cursor.vy = y - oy;
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT point) {
    if (hWnd != &mainWindow || !mainWindow.alive || !point) return FALSE;
    int ox = 0, oy = 0;
    seam::windowOrigin(ox, oy);
    point->x += ox;
    point->y += oy;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT point) {
    if (hWnd != &mainWindow || !mainWindow.alive || !point) return FALSE;
    int ox = 0, oy = 0;
    seam::windowOrigin(ox, oy);
    point->x -= ox;
    point->y -= oy;
    return TRUE;
}
