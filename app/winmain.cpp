// The program's entry: start-up in its fixed order, the message loop with one frame whenever the queue
// is empty, and shutdown in its fixed order.
#include <d3d9.h>
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "app/globals.h"
#include "app/input.h"
#include "app/fade.h"
#include "app/scene_manager.h"
#include "diag/log.h"
#include "resource/resource_cache.h"
#include "sound/sound_bank.h"

namespace {

// Exit statuses of a run that could not go on (a normal end returns the quit message's 0).
constexpr int kExitNoWindow = 2;
constexpr int kExitNoDevice = 3;
constexpr int kExitFatal = 1;

template <typename T>
void ReleaseIfPresent(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

}  // namespace

void SetUpRenderStates() {
    g_device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    g_device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);

    g_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    g_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    g_device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    g_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);

    g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);

    g_device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    g_device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    g_device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);

    // Four white lights from the four sides, all tilted downwards.
    g_device->SetRenderState(D3DRS_LIGHTING, TRUE);
    const D3DVECTOR directions[4] = {{1.0f, -0.5f, 0.0f}, {0.0f, -0.5f, 1.0f}, {-1.0f, -0.5f, 0.0f}, {0.0f, -0.5f, -1.0f}};
    for (DWORD i = 0; i < 4; ++i) {
        D3DLIGHT9 light;
        ZeroMemory(&light, sizeof light);
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 0.0f};
        light.Direction = directions[i];
        g_device->SetLight(i, &light);
        g_device->LightEnable(i, TRUE);
    }
    g_device->SetRenderState(D3DRS_AMBIENT, 0x00777777);
    g_device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
}

namespace {

bool CreateDeviceWithFallbacks() {
    const struct {
        D3DDEVTYPE type;
        DWORD flags;
    } attempts[] = {
        {D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING},
        {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
        {D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
    };
    for (const auto& a : attempts) {
        if (SUCCEEDED(g_d3d->CreateDevice(D3DADAPTER_DEFAULT, a.type, g_hWnd, a.flags, &g_presentParams, &g_device)))
            return true;
    }
    return false;
}

void FillPresentParams() {
    ZeroMemory(&g_presentParams, sizeof g_presentParams);
    g_presentParams.BackBufferWidth = 640;
    g_presentParams.BackBufferHeight = 480;
    if (g_fullScreen) {
        g_presentParams.BackBufferFormat = D3DFMT_X8R8G8B8;
    } else {
        D3DDISPLAYMODE mode;
        ZeroMemory(&mode, sizeof mode);
        g_d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);
        g_presentParams.BackBufferFormat = mode.Format;
    }
    g_presentParams.BackBufferCount = 0;
    g_presentParams.MultiSampleType = D3DMULTISAMPLE_NONE;
    g_presentParams.SwapEffect = D3DSWAPEFFECT_FLIP;
    g_presentParams.hDeviceWindow = nullptr;
    g_presentParams.Windowed = g_fullScreen ? FALSE : TRUE;
    g_presentParams.EnableAutoDepthStencil = TRUE;
    g_presentParams.AutoDepthStencilFormat = D3DFMT_D16;
    g_presentParams.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    g_presentParams.FullScreen_RefreshRateInHz = 0;
    g_presentParams.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
}

}  // namespace

void FillSineTable() {
    for (int i = 0; i < 360; ++i) {
        float angle = static_cast<float>(i) * 0.017453292f;
        g_sineTable[i] = static_cast<float>(std::sin(static_cast<double>(angle)));
    }
    g_sineTable[180] = 0.0f;
}

LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) PostQuitMessage(0);
        return 0;  // other keys are read by sampling, never by messages
    default:
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
}

void RunFrame() {
    SampleInput();
    if (!g_fatalError) g_sceneManager->Step();
    StepFade();
    g_device->BeginScene();
    if (!g_fatalError) g_sceneManager->Draw();
    g_device->EndScene();
    if (FAILED(g_device->Present(nullptr, nullptr, nullptr, nullptr))) g_device->Reset(&g_presentParams);
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow) {
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = "Generic Game SDK Window";
    RegisterClassA(&wc);

    g_hWnd = CreateWindowExA(0, "Generic Game SDK Window", "Quillmoor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                             CW_USEDEFAULT, 640, 480, nullptr, nullptr, hInstance, nullptr);
    if (!g_hWnd) {
        // There is no window to put a box on: say why on the console and stop.
        std::fputs("quillmoor: the game window could not be created (is a display available?)\n", stderr);
        return kExitNoWindow;
    }

    g_fullScreen = MessageBoxA(nullptr, "フルスクリーンで起動しますか？", "確認", MB_YESNO) == IDYES;

    ShowWindow(g_hWnd, nCmdShow);
    UpdateWindow(g_hWnd);
    SetFocus(g_hWnd);

    if (g_fullScreen) {
        ShowCursor(FALSE);
    } else {
        RECT rect = {0, 0, 640, 480};
        AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
        SetWindowPos(g_hWnd, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW);
    }

    g_d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!g_d3d) {
        MessageBoxA(nullptr, "Direct3D の作成に失敗しました。", "ERROR", MB_ICONERROR);
        return kExitNoDevice;
    }

    FillPresentParams();
    if (!CreateDeviceWithFallbacks()) {
        MessageBoxA(nullptr, "DirectX9が初期化できません。\n未対応のパソコンと思われます。", "ERROR", MB_ICONERROR);
        ReleaseIfPresent(g_d3d);
        return kExitNoDevice;
    }

    SetUpRenderStates();

    timeBeginPeriod(1);
    std::srand(timeGetTime());
    std::rand();

    std::set_new_handler(OutOfMemoryHandler);
    g_mouseDivisor = 15.0f;

    g_fatalError = false;
    g_log.open("Log.txt");
    if (g_log.fail()) {
        MessageBoxA(nullptr, "ログファイルの出力に失敗しました", "Error", MB_OK);
        g_fatalError = true;
    }

    if (!g_fatalError) {
        D3DXCreateSprite(g_device, &g_sprite);
        g_sprite->OnResetDevice();
        // A texture that fails has shown its box and set g_fatalError; start-up still runs to the end.
        LoadTexture(&g_whiteTexture, "data/texture/white.png", 3, 3, 0);
        LoadTexture(&g_bloodTexture, "data/texture/blood.png", 640, 480, 0);
        g_resourceCache = new ResourceCache();
        g_sceneManager = new SceneManager();
        g_soundBank = new SoundBank();
        g_soundBank->CreateDevice();
        for (const char* name : kStartSounds) g_soundBank->Load(name);
        g_leverStates.push_back(true);
        g_stageIndex = 1;
        FillSineTable();
    }

    MSG msg;
    ZeroMemory(&msg, sizeof msg);
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!GetMessageA(&msg, nullptr, 0, 0)) break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            RunFrame();
        }
        if (g_fatalError) PostQuitMessage(0);
    }

    timeEndPeriod(1);
    bool failed = g_fatalError;
    CloseLog(failed);

    ReleaseIfPresent(g_whiteTexture);
    ReleaseIfPresent(g_bloodTexture);
    ReleaseIfPresent(g_sprite);
    if (g_sceneManager) {
        delete g_sceneManager;
        g_sceneManager = nullptr;
    }
    if (g_resourceCache) {
        g_resourceCache->ReleaseAll();
        delete g_resourceCache;
        g_resourceCache = nullptr;
    }
    if (g_soundBank) {
        delete g_soundBank;
        g_soundBank = nullptr;
    }
    ReleaseIfPresent(g_device);
    ReleaseIfPresent(g_d3d);
    std::set_new_handler(nullptr);

    return failed ? kExitFatal : static_cast<int>(msg.wParam);
}
