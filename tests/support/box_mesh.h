// Stage meshes for tests: axis-aligned boxes and single triangles written as text .x files with the
// 32-byte vertices stage objects need (position, normal, texture coordinate).
#pragma once

#include <d3dx9.h>

#include <string>
#include <vector>

namespace testing_support {

struct Box {
    D3DXVECTOR3 lo, hi;
};

// Every box with its faces wound outward (the face normal of each triangle points out of the box).
std::string BoxesX(const std::vector<Box>& boxes);

// Triangles given corner by corner, three corners each, as they are.
std::string TrianglesX(const std::vector<D3DXVECTOR3>& corners);

}  // namespace testing_support
