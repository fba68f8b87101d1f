// The D3DX 9 subset the game is written against.
#pragma once

#include <d3d9.h>

class ID3DXSprite;
