// Opening a window and a device the way the game does, outside WinMain: for the tools, benchmarks and
// tests that load or draw through the device.
#pragma once

#include <d3d9.h>
#include <windows.h>

namespace game_device {

// The game's present parameters for its 640 × 480 back buffer with a depth buffer.
inline D3DPRESENT_PARAMETERS PresentParameters(bool windowed) {
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = 640;
    pp.BackBufferHeight = 480;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.SwapEffect = D3DSWAPEFFECT_FLIP;
    pp.Windowed = windowed ? TRUE : FALSE;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    pp.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    return pp;
}

// A shown window of class `className` with a 640 × 480 client area; null when none can be made.
inline HWND OpenWindow(const char* className) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    RECT r = {0, 0, 640, 480};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    HWND hWnd = CreateWindowExA(0, className, "Quillmoor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
    if (hWnd) ShowWindow(hWnd, SW_SHOWDEFAULT);
    return hWnd;
}

// Direct3D and a device on `hWnd`; false (and nothing left open) when either cannot be made.
inline bool CreateDevice(HWND hWnd, bool windowed, IDirect3D9*& d3d, IDirect3DDevice9*& device) {
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d) return false;
    D3DPRESENT_PARAMETERS pp = PresentParameters(windowed);
    if (SUCCEEDED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hWnd, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp,
                                    &device)))
        return true;
    d3d->Release();
    d3d = nullptr;
    device = nullptr;
    return false;
}

}  // namespace game_device
