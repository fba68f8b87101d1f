// Numbers in the objects' state reports: four decimals, vectors as x,y,z.
#pragma once

#include <d3dx9.h>

#include <string>

std::string Describe(float value);
std::string Describe(const D3DXVECTOR3& v);
