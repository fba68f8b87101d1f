// On Windows the game draws with the system's Direct3D 9, whose Present waits for the display at most:
// on a 144 Hz monitor, or with the wait turned off by the driver, the game would run too fast, since
// every speed in it is counted per frame. The executable carries its own Direct3DCreate9, which the
// game calls by name: it hands over the system's object with its CreateDevice turned to ours, and the
// device made there gets a Present that presents and then keeps the pace at 60 frames a second, as
// the OpenGL device does on Linux.
#define CINTERFACE  // the interfaces as tables of named entries
#include <d3d9.h>
#include <windows.h>

#include "pacer.h"
#include "windows/paced_present.h"

namespace {

using CreateFunction = IDirect3D9*(WINAPI*)(UINT);
using CreateDeviceEntry = HRESULT(STDMETHODCALLTYPE*)(IDirect3D9*, UINT, D3DDEVTYPE, HWND, DWORD,
                                                      D3DPRESENT_PARAMETERS*, IDirect3DDevice9**);
using PresentEntry = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice9*, const RECT*, const RECT*, HWND, const RGNDATA*);

CreateDeviceEntry systemCreateDevice = nullptr;
PresentEntry systemPresent = nullptr;
pacing::Pacer pacer;
bool pacerStarted = false;
bool paced = true;

uint64_t Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<uint64_t>(t.QuadPart);
}

// Puts `ours` into a table entry of the system's, which lives in its read-only data.
template <typename Entry>
void Turn(Entry* entry, Entry ours) {
    DWORD old = 0;
    if (!VirtualProtect(entry, sizeof *entry, PAGE_READWRITE, &old)) return;
    *entry = ours;
    VirtualProtect(entry, sizeof *entry, old, &old);
}

HRESULT STDMETHODCALLTYPE PacedPresent(IDirect3DDevice9* device, const RECT* source, const RECT* dest, HWND window,
                                       const RGNDATA* dirty) {
    const HRESULT result = systemPresent(device, source, dest, window, dirty);
    if (!paced) return result;
    if (!pacerStarted) {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        pacer.start(static_cast<uint64_t>(frequency.QuadPart), Now());
        pacerStarted = true;
    } else {
        pacer.wait(Now, [](uint32_t ms) { Sleep(ms); });
    }
    return result;
}

HRESULT STDMETHODCALLTYPE CreateDeviceWithPace(IDirect3D9* d3d, UINT adapter, D3DDEVTYPE type, HWND window,
                                               DWORD flags, D3DPRESENT_PARAMETERS* params,
                                               IDirect3DDevice9** device) {
    const HRESULT result = systemCreateDevice(d3d, adapter, type, window, flags, params, device);
    if (SUCCEEDED(result) && device && *device && (*device)->lpVtbl->Present != PacedPresent) {
        systemPresent = (*device)->lpVtbl->Present;
        Turn(&(*device)->lpVtbl->Present, static_cast<PresentEntry>(PacedPresent));
    }
    return result;
}

}  // namespace

namespace windows {
void setPresentPaced(bool on) {
    paced = on;
    pacerStarted = false;
}
}  // namespace windows

extern "C" IDirect3D9* WINAPI Direct3DCreate9(UINT sdkVersion) {
    static CreateFunction systemCreate = reinterpret_cast<CreateFunction>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("d3d9.dll"), "Direct3DCreate9")));
    if (!systemCreate) return nullptr;
    IDirect3D9* d3d = systemCreate(sdkVersion);
    if (d3d && d3d->lpVtbl->CreateDevice != CreateDeviceWithPace) {
        systemCreateDevice = d3d->lpVtbl->CreateDevice;
        Turn(&d3d->lpVtbl->CreateDevice, static_cast<CreateDeviceEntry>(CreateDeviceWithPace));
    }
    return d3d;
}
