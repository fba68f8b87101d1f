// Keeping the player out of walls, under ceilings and standing on floors, by rays against the objects.
#pragma once

#include <d3dx9.h>

// One pass over the object list in list order; each correction moves the eye at once.
void CollidePlayer();
