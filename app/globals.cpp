// Storage of the engine-wide objects.
#include "app/globals.h"

HWND g_hWnd = nullptr;
IDirect3D9* g_d3d = nullptr;
IDirect3DDevice9* g_device = nullptr;
D3DPRESENT_PARAMETERS g_presentParams = {};
BOOL g_fullScreen = FALSE;
ID3DXSprite* g_sprite = nullptr;
IDirect3DTexture9* g_whiteTexture = nullptr;
IDirect3DTexture9* g_bloodTexture = nullptr;
bool g_fatalError = false;
SceneManager* g_sceneManager = nullptr;
ResourceCache* g_resourceCache = nullptr;
SoundBank* g_soundBank = nullptr;
float g_sineTable[360] = {};
float g_mouseDivisor = 15.0f;
int g_stageIndex = 1;
std::vector<bool> g_leverStates;
D3DXMATRIX g_viewMatrix;
D3DXMATRIX g_projectionMatrix;
