// Storage of the stage's textures and the goal flag.
#include "stage/stage_state.h"

IDirect3DTexture9* g_laserTexture = nullptr;
IDirect3DTexture9* g_hitTexture = nullptr;
IDirect3DTexture9* g_crosshairTexture = nullptr;
bool g_goalReached = false;
