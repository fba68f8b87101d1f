// The engine-wide objects every part of the game reaches: window, device, shared textures, the three
// containers, the fatal-error flag and the small tables and settings created at start-up.
#pragma once

#include <d3d9.h>
#include <d3dx9.h>
#include <windows.h>

#include <vector>

class SceneManager;
class ResourceCache;
class SoundBank;

extern HWND g_hWnd;
extern IDirect3D9* g_d3d;
extern IDirect3DDevice9* g_device;
extern D3DPRESENT_PARAMETERS g_presentParams;
extern BOOL g_fullScreen;
extern ID3DXSprite* g_sprite;
extern IDirect3DTexture9* g_whiteTexture;  // 3 × 3, the fade overlay
extern IDirect3DTexture9* g_bloodTexture;  // 640 × 480
extern bool g_fatalError;                  // set by any failure that must end the run; never cleared
extern SceneManager* g_sceneManager;
extern ResourceCache* g_resourceCache;
extern SoundBank* g_soundBank;
extern float g_sineTable[360];  // sine of 0 to 359 degrees
extern float g_mouseDivisor;    // mouse-look divisor, 15 at start
extern int g_stageIndex;        // 1-based stage number
extern std::vector<bool> g_leverStates;

// The camera the title and game scenes build in their 3D passes.
extern D3DXMATRIX g_viewMatrix;
extern D3DXMATRIX g_projectionMatrix;

// The window procedure and the per-frame function of the main loop.
LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
void RunFrame();

void FillSineTable();

// The render states, texture stage, sampler and four lights every scene draws with, set once at start-up.
void SetUpRenderStates();
