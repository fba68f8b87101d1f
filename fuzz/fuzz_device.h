// The headless device the fuzz targets load into: made once per process, released at its end.
#pragma once

#include <d3d9.h>
#include <windows.h>

struct FuzzDeviceHolder {
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    FuzzDeviceHolder() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "fuzz";
        RegisterClassA(&wc);
        HWND hWnd =
            CreateWindowExA(0, "fuzz", "fuzz", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS pp{};
        pp.Windowed = TRUE;
        d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hWnd, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device);
    }
    ~FuzzDeviceHolder() {
        if (device) device->Release();
        if (d3d) d3d->Release();
    }
};

inline IDirect3DDevice9* FuzzDevice() {
    static FuzzDeviceHolder holder;
    return holder.device;
}
