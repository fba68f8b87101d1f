// The replay runner over the real Windows (test-only, never in quillmoor.exe): the calls the game makes
// for input, message boxes and the message queue are redirected in this executable's own import table,
// and the device's Present in its interface table, so that a replay drives the real window, Direct3D 9
// and DirectSound frame by frame, and any frame's picture can be kept.
#include <d3d9.h>
#include <windows.h>

#include <cstring>
#include <deque>
#include <set>

#include "app/globals.h"
#include "gl/control.h"
#include "seam/trace.h"
#include "windows/paced_present.h"

namespace seam {
void (*traceHook)(const char* what) = nullptr;
void (*messageBoxHook)(const char* text, const char* caption, unsigned type, int answer) = nullptr;
}  // namespace seam

namespace {

struct Script {
    bool input = false;
    std::set<int> held;
    POINT cursor{320, 240};
    std::deque<int> answers;
    int autoAnswer = 0;
    std::function<void(int)> hook;
    int hookRanFor = -1;
    int frames = 0;
    int limit = 0;
    std::vector<uint32_t> lastFrame;  // the picture of the frame presented last
} script;

decltype(&MessageBoxA) realMessageBox;
decltype(&PeekMessageA) realPeekMessage;
decltype(&GetAsyncKeyState) realGetAsyncKeyState;
decltype(&GetCursorPos) realGetCursorPos;
decltype(&SetCursorPos) realSetCursorPos;

typedef HRESULT(STDMETHODCALLTYPE* PresentFn)(IDirect3DDevice9*, const RECT*, const RECT*, HWND, const RGNDATA*);
PresentFn realPresent;
IDirect3DSurface9* captureSurface;

// Replaces this executable's import of `name` from `dll`; returns what it pointed to.
void* patchImport(const char* dll, const char* name, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + d->Name), dll) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<char*>(byName->Name), name) != 0) continue;
            DWORD old;
            VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
            void* was = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof(void*), old, &old);
            return was;
        }
    }
    return nullptr;
}

void keepPicture(IDirect3DDevice9* device) {
    IDirect3DSurface9* back = nullptr;
    if (FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back))) return;
    D3DSURFACE_DESC desc;
    back->GetDesc(&desc);
    if (!captureSurface)
        device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &captureSurface,
                                            nullptr);
    D3DLOCKED_RECT locked;
    if (captureSurface && SUCCEEDED(device->GetRenderTargetData(back, captureSurface)) &&
        SUCCEEDED(captureSurface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        script.lastFrame.resize(static_cast<size_t>(desc.Width) * desc.Height);
        for (UINT y = 0; y < desc.Height; ++y) {
            auto* row = reinterpret_cast<const uint32_t*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
            for (UINT x = 0; x < desc.Width; ++x) script.lastFrame[y * desc.Width + x] = row[x] | 0xFF000000u;
        }
        captureSurface->UnlockRect();
    }
    back->Release();
}

HRESULT STDMETHODCALLTYPE presentHook(IDirect3DDevice9* device, const RECT* source, const RECT* dest, HWND window,
                                      const RGNDATA* dirty) {
    keepPicture(device);
    HRESULT hr = realPresent(device, source, dest, window, dirty);
    ++script.frames;
    if (script.limit > 0 && script.frames == script.limit) PostMessageA(g_hWnd, WM_CLOSE, 0, 0);
    return hr;
}

// IDirect3DDevice9's methods in interface order: IUnknown's three, then TestCooperativeLevel,
// GetAvailableTextureMem, EvictManagedResources, GetDirect3D, GetDeviceCaps, GetDisplayMode,
// GetCreationParameters, SetCursorProperties, SetCursorPosition, ShowCursor, CreateAdditionalSwapChain,
// GetSwapChain, GetNumberOfSwapChains, Reset, Present.
constexpr int kPresentSlot = 17;

void hookPresent() {
    static IDirect3DDevice9* hooked = nullptr;
    if (!g_device || g_device == hooked) return;
    void** table = *reinterpret_cast<void***>(g_device);
    DWORD old;
    VirtualProtect(&table[kPresentSlot], sizeof(void*), PAGE_READWRITE, &old);
    if (table[kPresentSlot] != reinterpret_cast<void*>(&presentHook)) {
        realPresent = reinterpret_cast<PresentFn>(table[kPresentSlot]);
        table[kPresentSlot] = reinterpret_cast<void*>(&presentHook);
    }
    VirtualProtect(&table[kPresentSlot], sizeof(void*), old, &old);
    hooked = g_device;
}

BOOL WINAPI peekMessageHook(LPMSG msg, HWND hWnd, UINT low, UINT high, UINT remove) {
    hookPresent();
    if (script.hook && script.hookRanFor != script.frames) {
        script.hookRanFor = script.frames;
        script.hook(script.frames);
    }
    return realPeekMessage(msg, hWnd, low, high, remove);
}

int WINAPI messageBoxHook(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    int answer;
    if (!script.answers.empty()) {
        answer = script.answers.front();
        script.answers.pop_front();
    } else if (script.autoAnswer != 0) {
        answer = script.autoAnswer;
    } else {
        answer = realMessageBox(owner, text, caption, type);
    }
    if (seam::messageBoxHook) seam::messageBoxHook(text ? text : "", caption ? caption : "Error", type, answer);
    return answer;
}

SHORT WINAPI asyncKeyHook(int vk) {
    if (!script.input) return realGetAsyncKeyState(vk);
    return script.held.count(vk) ? static_cast<SHORT>(0x8000) : 0;
}

BOOL WINAPI getCursorHook(LPPOINT point) {
    if (!script.input) return realGetCursorPos(point);
    if (!point) return FALSE;
    *point = script.cursor;
    return TRUE;
}

BOOL WINAPI setCursorHook(int x, int y) {
    if (!script.input) return realSetCursorPos(x, y);
    script.cursor = POINT{x, y};
    return TRUE;
}

template <typename F>
void patch(F& real, const char* dll, const char* name, F replacement) {
    void* was = patchImport(dll, name, reinterpret_cast<void*>(replacement));
    if (was) real = reinterpret_cast<F>(was);
}

// Before WinMain: the runner's driver calls autoAnswerMessageBoxes first.
void installHooks() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    patch(realMessageBox, "user32.dll", "MessageBoxA", &messageBoxHook);
    patch(realPeekMessage, "user32.dll", "PeekMessageA", &peekMessageHook);
    patch(realGetAsyncKeyState, "user32.dll", "GetAsyncKeyState", &asyncKeyHook);
    patch(realGetCursorPos, "user32.dll", "GetCursorPos", &getCursorHook);
    patch(realSetCursorPos, "user32.dll", "SetCursorPos", &setCursorHook);
}

}  // namespace

namespace real {

void autoAnswerMessageBoxes(int answer) {
    installHooks();
    script.autoAnswer = answer;
}

bool readBackBuffer(std::vector<uint32_t>& argb) {
    if (script.lastFrame.empty()) return false;
    argb = script.lastFrame;
    return true;
}

bool readWindow(std::vector<uint32_t>&, int&, int&) { return false; }
void setUnpaced(bool on) { windows::setPresentPaced(!on); }
void scriptInput(bool on) {
    installHooks();
    script.input = on;
}
void holdKey(int vk, bool down) {
    if (down)
        script.held.insert(vk);
    else
        script.held.erase(vk);
}
void pushKeyDown(int vk) { PostMessageA(g_hWnd, WM_KEYDOWN, static_cast<WPARAM>(vk), 1); }
void pushClose() { PostMessageA(g_hWnd, WM_CLOSE, 0, 0); }
void moveMouse(int dx, int dy) {
    script.cursor.x += dx;
    script.cursor.y += dy;
}
void queueAnswer(int answer) { script.answers.push_back(answer); }
void onFrame(std::function<void(int frame)> hook) { script.hook = std::move(hook); }
void setFrameLimit(int limit) { script.limit = limit; }
int frameCount() { return script.frames; }

// The Windows build reads no gamepad, so a replay's pad instructions have nothing to drive here: the
// pad cannot be plugged in, and the runner says so for the replay's `pad connect`.
bool attachVirtualPad() { return false; }
void detachVirtualPad() {}
void setVirtualPadButton(int, bool) {}
void setVirtualPadAxis(int, int) {}

}  // namespace real
