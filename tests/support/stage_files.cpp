// Stage content for tests, written into the current folder.
#include "support/stage_files.h"

#include <array>
#include <filesystem>
#include <sstream>

#include "support/device.h"
#include "support/pictures.h"
#include "support/start_content.h"

namespace testing_support {

namespace {

struct Vertex {
    D3DXVECTOR3 position, normal;
    float u, v;
};

std::string MeshText(const std::vector<Vertex>& vertices, const std::vector<std::array<int, 3>>& faces, int materials) {
    std::ostringstream x;
    x.precision(9);
    // `count` items written by `item`, each ended by ";," and the last by ";;".
    auto list = [&x](const char* indent, size_t count, auto item) {
        x << indent << count << ";\n";
        for (size_t i = 0; i < count; ++i) {
            x << indent;
            item(i);
            x << (i + 1 == count ? ";;\n" : ";,\n");
        }
    };
    auto vector = [&x](const D3DXVECTOR3& v) { x << v.x << ";" << v.y << ";" << v.z; };
    auto face = [&](size_t f) { x << "3;" << faces[f][0] << "," << faces[f][1] << "," << faces[f][2]; };
    x << "xof 0303txt 0032\nMesh {\n";
    list(" ", vertices.size(), [&](size_t i) { vector(vertices[i].position); });
    list(" ", faces.size(), face);
    x << " MeshNormals {\n";
    list("  ", vertices.size(), [&](size_t i) { vector(vertices[i].normal); });
    list("  ", faces.size(), face);
    x << " }\n MeshTextureCoords {\n";
    list("  ", vertices.size(), [&](size_t i) { x << vertices[i].u << ";" << vertices[i].v; });
    x << " }\n MeshMaterialList {\n  " << materials << ";\n  " << faces.size() << ";\n";
    for (size_t f = 0; f < faces.size(); ++f) x << "  0" << (f + 1 == faces.size() ? ";;\n" : ",\n");
    for (int m = 0; m < materials; ++m)
        x << "  Material {\n   0." << (m % 9 + 1)
          << ";0.5;0.5;1.0;;\n   0.0;\n   0.0;0.0;0.0;;\n   0.0;0.0;0.0;;\n  }\n";
    x << " }\n}\n";
    return x.str();
}

}  // namespace

std::string StageMeshX(const std::vector<D3DXVECTOR3>& positions, int materials) {
    std::vector<Vertex> vertices;
    for (const D3DXVECTOR3& p : positions) vertices.push_back({p, D3DXVECTOR3(0, 1, 0), 0.0f, 0.0f});
    std::vector<std::array<int, 3>> faces;
    const int n = static_cast<int>(positions.size());
    for (int i = 0; i < n; ++i) faces.push_back({i, (i + 1) % n, (i + 2) % n});
    return MeshText(vertices, faces, materials);
}

std::string FloorMeshX(float size, int cells) {
    std::vector<Vertex> vertices;
    const float step = size / static_cast<float>(cells);
    for (int row = 0; row <= cells; ++row)
        for (int col = 0; col <= cells; ++col)
            vertices.push_back({D3DXVECTOR3(-size / 2 + step * static_cast<float>(col), 0.0f,
                                            -size / 2 + step * static_cast<float>(row)),
                                D3DXVECTOR3(0, 1, 0), static_cast<float>(col) / static_cast<float>(cells),
                                static_cast<float>(row) / static_cast<float>(cells)});
    std::vector<std::array<int, 3>> faces;
    for (int row = 0; row < cells; ++row)
        for (int col = 0; col < cells; ++col) {
            int a = row * (cells + 1) + col, b = a + 1, c = a + cells + 1, d = c + 1;
            // Clockwise seen from above, so the top is the front face.
            faces.push_back({a, c, b});
            faces.push_back({b, c, d});
        }
    return MeshText(vertices, faces, 1);
}

std::string BoxesX(const std::vector<Box>& boxes, int materials) {
    std::vector<Vertex> vertices;
    std::vector<std::array<int, 3>> faces;
    // a, b, c, d counter-clockwise seen from outside in a left-handed world: cross(b - a, c - a) points out.
    auto side = [&](D3DXVECTOR3 a, D3DXVECTOR3 b, D3DXVECTOR3 c, D3DXVECTOR3 d, D3DXVECTOR3 normal) {
        int base = static_cast<int>(vertices.size());
        vertices.push_back({a, normal, 0, 0});
        vertices.push_back({b, normal, 1, 0});
        vertices.push_back({c, normal, 1, 1});
        vertices.push_back({d, normal, 0, 1});
        faces.push_back({base, base + 1, base + 2});
        faces.push_back({base, base + 2, base + 3});
    };
    for (const Box& box : boxes) {
        const float x0 = box.lo.x, y0 = box.lo.y, z0 = box.lo.z, x1 = box.hi.x, y1 = box.hi.y, z1 = box.hi.z;
        side({x0, y1, z0}, {x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0}, {0, 1, 0});   // top
        side({x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}, {0, -1, 0});  // bottom
        side({x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0}, {x1, y0, z0}, {0, 0, -1});  // front (−z)
        side({x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}, {x0, y0, z1}, {0, 0, 1});   // back (+z)
        side({x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0}, {x0, y0, z0}, {-1, 0, 0});  // left (−x)
        side({x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}, {x1, y0, z1}, {1, 0, 0});   // right (+x)
    }
    return MeshText(vertices, faces, materials);
}

std::string TrianglesX(const std::vector<D3DXVECTOR3>& corners) {
    std::vector<Vertex> vertices;
    std::vector<std::array<int, 3>> faces;
    for (size_t f = 0; f + 2 < corners.size(); f += 3) {
        D3DXVECTOR3 e1 = corners[f + 1] - corners[f], e2 = corners[f + 2] - corners[f], normal;
        D3DXVec3Normalize(&normal, D3DXVec3Cross(&normal, &e1, &e2));
        for (size_t k = 0; k < 3; ++k) vertices.push_back({corners[f + k], normal, 0, 0});
        faces.push_back({int(f), int(f + 1), int(f + 2)});
    }
    return MeshText(vertices, faces, 1);
}

void WriteMesh(const std::string& name, const std::string& x) { WriteText("data/xfile/" + name, x); }

namespace {
// The three textures a stage load reads.
void WriteStageTextures() {
    WritePng("data/texture/laser.png", 128, 256, std::vector<uint32_t>(128 * 256, 0x80FF2020));
    WritePng("data/texture/efe_hit.png", 256, 64, std::vector<uint32_t>(256 * 64, 0xC0FFFF80));
    WritePng("data/texture/crosshair.png", 128, 128, std::vector<uint32_t>(128 * 128, 0xFFFFFFFF));
}
}  // namespace

void WriteStageContent() {
    WriteStartContent();
    WriteStageTextures();
    WriteMesh("sphere.x", BoxesX({{{-1, -1, -1}, {1, 1, 1}}}));
    WriteMesh("door.x", BoxesX({{{-10, 0, -1}, {10, 30, 1}}}, 2));
    WriteMesh("elevator.x", BoxesX({{{-10, -1, -10}, {10, 0, 10}}}, 3));
    WriteMesh("goal.x", BoxesX({{{-5, 0, -5}, {5, 20, 5}}}));
    WriteMesh("ltrap.x", BoxesX({{{-2, -2, -2}, {2, 2, 2}}}));
    WriteMesh("laser.x", BoxesX({{{-0.5f, -0.5f, -1}, {0.5f, 0.5f, 0}}}));
    WriteMesh("leveron.x", BoxesX({{{-1, 0, -1}, {1, 8, 1}}}));
    WriteMesh("leveroff.x", BoxesX({{{-1, 0, -1}, {1, 6, 1}}}));
    WriteMesh("step.x", BoxesX({{{-10, -1, -10}, {10, 0, 10}}}));
    WriteMesh("floor.x", FloorMeshX(200.0f, 20));
    WriteMesh("plycol.x", BoxesX({{{-3, -12, -3}, {3, 2, 3}}}));
}

void WriteStageList(const std::string& text) { WriteText("data/stagedata.txt", text); }

void WriteStageFile(const std::string& name, const std::string& text) { WriteText("data/" + name, text); }

const char* const kSmallStage =
    "0,12,-40,\n"
    ":\n"
    "floor.x\n"
    "plycol.x\n"
    ":\n"
    "floor.x,1,0,0,0,0,0\n"
    "plycol.x,10,0,0,0,0,0\n";

void WriteSmallStage() {
    WriteStageContent();
    WriteStageList("stage1.txt\n");
    WriteStageFile("stage1.txt", kSmallStage);
}

}  // namespace testing_support
