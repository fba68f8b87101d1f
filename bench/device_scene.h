// The device benchmark's scene, shared by the headless and the OpenGL runs: a window with the game's
// device and render set-up, and a frame of 1,000 lit triangles.
#pragma once

#include <d3d9.h>
#include <windows.h>

#include <cmath>
#include <vector>

#include "app/globals.h"
#include "tools/common/game_device.h"

namespace bench_scene {

struct Window {
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    HWND hWnd = nullptr;

    bool open() {
        hWnd = game_device::OpenWindow("bench");
        if (!hWnd || !game_device::CreateDevice(hWnd, true, d3d, device)) return false;
        g_device = device;
        SetUpRenderStates();
        return true;
    }
    ~Window() {
        if (device) device->Release();
        if (d3d) d3d->Release();
        g_device = nullptr;
        if (hWnd) DestroyWindow(hWnd);
    }
};

// 1,000 small lit triangles spread over the screen, drawn one DrawPrimitiveUP each as the game's
// effects are, with a perspective camera.
struct LitTriangles {
    struct Vertex {
        float x, y, z, nx, ny, nz;
    };
    std::vector<Vertex> vertices;

    explicit LitTriangles(int count) {
        for (int i = 0; i < count; ++i) {
            float cx = static_cast<float>(i % 40) / 20.0f - 1.0f, cy = static_cast<float>(i / 40) / 12.5f - 1.0f;
            float n = std::sqrt(3.0f);
            vertices.push_back({cx, cy, 0.5f, 1 / n, 1 / n, -1 / n});
            vertices.push_back({cx + 0.02f, cy + 0.06f, 0.5f, 1 / n, 1 / n, -1 / n});
            vertices.push_back({cx + 0.04f, cy, 0.5f, 1 / n, 1 / n, -1 / n});
        }
    }

    void frame(IDirect3DDevice9* device) {
        D3DMATRIX id{};
        id._11 = id._22 = id._33 = id._44 = 1.0f;
        device->SetTransform(D3DTS_WORLD, &id);
        device->SetTransform(D3DTS_VIEW, &id);
        device->SetTransform(D3DTS_PROJECTION, &id);
        D3DMATERIAL9 m{};
        m.Diffuse = D3DCOLORVALUE{0.8f, 0.6f, 0.4f, 1.0f};
        m.Ambient = m.Diffuse;
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF202020, 1.0f, 0);
        device->BeginScene();
        device->SetMaterial(&m);
        device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
        for (size_t i = 0; i < vertices.size(); i += 3)
            device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, &vertices[i], sizeof(Vertex));
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }
};

}  // namespace bench_scene
