// The goal flag and the stage textures.
#include "stage/stage_globals.h"

bool g_goalReached = false;
IDirect3DTexture9* g_laserTexture = nullptr;
IDirect3DTexture9* g_hitTexture = nullptr;
IDirect3DTexture9* g_crosshairTexture = nullptr;
