// A stage-like floor mesh as .x text, for the D3DX benchmarks of both backends.
#pragma once

#include <d3dx9.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace bench_scene {

// A floor of n × n quads (2n² triangles) in the .x text the content tools write: 32-byte vertices.
inline std::string GridX(int n) {
    std::string s = "xof 0302txt 0032\nMesh Floor {\n" + std::to_string((n + 1) * (n + 1)) + ";\n";
    char line[96];
    for (int z = 0; z <= n; ++z)
        for (int x = 0; x <= n; ++x) {
            std::snprintf(line, sizeof line, "%.6f;%.6f;%.6f;%s\n", x * 2.0f, 0.01f * ((x * 7 + z * 3) % 11), z * 2.0f,
                          (z == n && x == n) ? ";" : ",");
            s += line;
        }
    s += std::to_string(n * n) + ";\n";
    for (int z = 0; z < n; ++z)
        for (int x = 0; x < n; ++x) {
            int a = z * (n + 1) + x;
            std::snprintf(line, sizeof line, "4;%d,%d,%d,%d;%s\n", a, a + n + 1, a + n + 2, a + 1,
                          (z == n - 1 && x == n - 1) ? ";" : ",");
            s += line;
        }
    s += "MeshNormals { 1; 0.000000;1.000000;0.000000;;\n" + std::to_string(n * n) + ";\n";
    for (int i = 0; i < n * n; ++i) s += std::string("4;0,0,0,0;") + (i == n * n - 1 ? ";\n" : ",\n");
    s += "}\nMeshTextureCoords {\n" + std::to_string((n + 1) * (n + 1)) + ";\n";
    for (int z = 0; z <= n; ++z)
        for (int x = 0; x <= n; ++x) {
            std::snprintf(line, sizeof line, "%.6f;%.6f;%s\n", x / float(n), z / float(n),
                          (z == n && x == n) ? ";" : ",");
            s += line;
        }
    s += "}\nMeshMaterialList { 1; 1; 0;; Material { 0.8;0.8;0.8;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; } }\n}\n";
    return s;
}

// One frame of a bent mesh as the game draws a stage object under a bulge: every position rewritten in
// place through the vertex buffer lock, then the mesh drawn (between a Clear and a Present if asked).
inline void BendAndDraw(ID3DXMesh* mesh, IDirect3DDevice9* device, float phase, bool clearAndPresent) {
    DWORD stride = mesh->GetNumBytesPerVertex(), count = mesh->GetNumVertices();
    void* data = nullptr;
    mesh->LockVertexBuffer(0, &data);
    auto* bytes = static_cast<uint8_t*>(data);
    for (DWORD i = 0; i < count; ++i) {
        auto* p = reinterpret_cast<float*>(bytes + i * stride);
        p[1] = 0.5f * std::sin(phase + p[0] * 0.1f);
    }
    mesh->UnlockVertexBuffer();
    if (clearAndPresent) device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    mesh->DrawSubset(0);
    device->EndScene();
    if (clearAndPresent) device->Present(nullptr, nullptr, nullptr, nullptr);
}

}  // namespace bench_scene
