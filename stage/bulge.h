// The bulge on an array of positions: every position inside one of the player's four spheres (radius
// above 1) is pushed away from the centre by (radius − distance) / 1.5, sphere 0 first, each sphere
// starting from where the spheres before it left the position.
#pragma once

#include <d3dx9.h>

// work = base bent by the spheres; `world` places the positions in the world, `rotation` is its rotation
// part. False, with work = base, when every sphere is idle. Four positions at a time where the processor
// allows; the result is bit for bit that of BulgePositionsPlain.
bool BulgePositions(const D3DXVECTOR3* base, D3DXVECTOR3* work, DWORD count, const D3DXMATRIX& world,
                    const D3DXMATRIX& rotation);

// The same, one sphere and one position at a time through the D3DX helpers: the rule as written.
bool BulgePositionsPlain(const D3DXVECTOR3* base, D3DXVECTOR3* work, DWORD count, const D3DXMATRIX& world,
                         const D3DXMATRIX& rotation);
