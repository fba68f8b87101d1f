// Text .x files of boxes and triangles for the tests of stage objects and the player.
#include "support/box_mesh.h"

#include <sstream>

namespace testing_support {

namespace {

std::string MeshX(const std::vector<D3DXVECTOR3>& corners) {
    std::ostringstream x;
    x.precision(9);
    const size_t n = corners.size(), faces = n / 3;
    x << "xof 0303txt 0032\nMesh {\n " << n << ";\n";
    for (size_t i = 0; i < n; ++i)
        x << " " << corners[i].x << ";" << corners[i].y << ";" << corners[i].z << (i + 1 == n ? ";;\n" : ";,\n");
    x << " " << faces << ";\n";
    for (size_t f = 0; f < faces; ++f)
        x << " 3;" << 3 * f << "," << 3 * f + 1 << "," << 3 * f + 2 << (f + 1 == faces ? ";;\n" : ";,\n");
    x << " MeshNormals {\n  " << faces << ";\n";
    for (size_t f = 0; f < faces; ++f) {
        D3DXVECTOR3 e1 = corners[3 * f + 1] - corners[3 * f], e2 = corners[3 * f + 2] - corners[3 * f], nn;
        D3DXVec3Cross(&nn, &e1, &e2);
        D3DXVec3Normalize(&nn, &nn);
        x << "  " << nn.x << ";" << nn.y << ";" << nn.z << (f + 1 == faces ? ";;\n" : ";,\n");
    }
    x << "  " << faces << ";\n";
    for (size_t f = 0; f < faces; ++f) x << "  3;" << f << "," << f << "," << f << (f + 1 == faces ? ";;\n" : ";,\n");
    x << " }\n MeshTextureCoords {\n  " << n << ";\n";
    for (size_t i = 0; i < n; ++i) x << "  0.0;0.0;" << (i + 1 == n ? ";\n" : ",\n");
    x << " }\n MeshMaterialList {\n  1;\n  " << faces << ";\n";
    for (size_t f = 0; f < faces; ++f) x << "  0" << (f + 1 == faces ? ";;\n" : ",\n");
    x << "  Material {\n   0.6;0.6;0.6;1.0;;\n   0.0;\n   0.0;0.0;0.0;;\n   0.0;0.0;0.0;;\n  }\n }\n}\n";
    return x.str();
}

void Quad(std::vector<D3DXVECTOR3>& c, D3DXVECTOR3 a, D3DXVECTOR3 b, D3DXVECTOR3 d, D3DXVECTOR3 e) {
    // a, b, d, e counter-clockwise seen from outside in a left-handed world: cross(b - a, d - a) points out.
    c.insert(c.end(), {a, b, d, a, d, e});
}

}  // namespace

std::string BoxesX(const std::vector<Box>& boxes) {
    std::vector<D3DXVECTOR3> c;
    for (const Box& bx : boxes) {
        const float x0 = bx.lo.x, y0 = bx.lo.y, z0 = bx.lo.z, x1 = bx.hi.x, y1 = bx.hi.y, z1 = bx.hi.z;
        Quad(c, {x0, y1, z0}, {x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0});  // top, +y
        Quad(c, {x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1});  // bottom, -y
        Quad(c, {x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0}, {x1, y0, z0});  // front, -z
        Quad(c, {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1});  // back, +z
        Quad(c, {x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0});  // left, -x
        Quad(c, {x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}, {x1, y0, z1});  // right, +x
    }
    return MeshX(c);
}

std::string TrianglesX(const std::vector<D3DXVECTOR3>& corners) { return MeshX(corners); }

}  // namespace testing_support
