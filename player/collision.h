// Keeping the player out of walls, under ceilings and standing on floors, by rays against the objects.
#pragma once

#include <d3dx9.h>

class Obj;

// One pass over the object list in list order; each correction moves the eye at once.
void CollidePlayer();

// The normal of triangle `face` of the object's mesh as its vertex buffer holds it now, turned into the
// world by the object's hit matrix and normalised; zero for a degenerate triangle or a face the mesh
// does not have.
D3DXVECTOR3 FaceNormal(Obj* obj, DWORD face);
