// The OpenGL device against Direct3D 9's picture: clears, lighting, texturing, culling, depth, blending,
// pixel coverage, pacing and the full-screen fit, read back from real frames.
#include <chrono>
#include <cmath>

#include "gl/control.h"
#include "render/render_support.h"

using namespace render_test;

namespace {

struct LitVertex {
    float x, y, z, nx, ny, nz;
};
struct LitTexturedVertex {
    float x, y, z, nx, ny, nz, u, v;
};
struct ColourVertex {
    float x, y, z;
    DWORD colour;
};

// Screen-space geometry with identity transforms: x, y are normalised device coordinates, z is depth.
class DeviceRender : public Device {
protected:
    void SetUp() override {
        open();
        D3DMATRIX id = Identity();
        device->SetTransform(D3DTS_WORLD, &id);
        device->SetTransform(D3DTS_VIEW, &id);
        device->SetTransform(D3DTS_PROJECTION, &id);
    }
    void clear(D3DCOLOR c) { device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, c, 1.0f, 0); }

    // A triangle around the screen centre; clockwise on screen unless asked otherwise.
    template <typename V>
    void triangle(V a, V b, V c, DWORD fvf, bool counterClockwise = false) {
        V v[3] = {a, counterClockwise ? c : b, counterClockwise ? b : c};
        device->SetFVF(fvf);
        device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(V));
    }
};

D3DMATERIAL9 material(float r, float g, float b) {
    D3DMATERIAL9 m{};
    m.Diffuse = D3DCOLORVALUE{r, g, b, 1.0f};
    m.Ambient = D3DCOLORVALUE{0.2f, 0.2f, 0.2f, 1.0f};
    return m;
}

// Direct3D 9's lighting equation for a normal under the game's four lights (view = identity).
float litChannel(float ambientMaterial, float diffuseMaterial, const float n[3]) {
    const float dirs[4][3] = {{1, -0.5f, 0}, {0, -0.5f, 1}, {-1, -0.5f, 0}, {0, -0.5f, -1}};
    float sum = 0;
    for (auto& d : dirs) {
        float len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        float dot = -(n[0] * d[0] + n[1] * d[1] + n[2] * d[2]) / len;
        sum += dot > 0 ? dot : 0;
    }
    float v = ambientMaterial * (0x77 / 255.0f) + diffuseMaterial * sum;
    return v > 1 ? 1 : v;
}

TEST_F(DeviceRender, ClearGivesExactlyItsColour) {
    auto p = frame([&] { clear(0xFF336699); });
    for (uint32_t c : p) ASSERT_EQ(c & 0xFFFFFF, 0x336699u);
}

TEST_F(DeviceRender, LitTriangleFollowsDirect3DLighting) {
    const float n[3] = {0.0f, 1.0f, 0.0f};
    auto p = frame([&] {
        clear(0xFF000000);
        D3DMATERIAL9 m = material(0.3f, 0.2f, 0.1f);
        device->SetMaterial(&m);
        device->SetTexture(0, nullptr);
        triangle(LitVertex{-0.5f, -0.5f, 0.5f, 0, 1, 0}, LitVertex{0, 0.5f, 0.5f, 0, 1, 0},
                 LitVertex{0.5f, -0.5f, 0.5f, 0, 1, 0}, D3DFVF_XYZ | D3DFVF_NORMAL);
    });
    EXPECT_TRUE(Near(at(p, 320, 250), std::lround(255 * litChannel(0.2f, 0.3f, n)),
                     std::lround(255 * litChannel(0.2f, 0.2f, n)), std::lround(255 * litChannel(0.2f, 0.1f, n))));
    // A normal facing away from every light keeps only the ambient part.
    const float down[3] = {0.0f, -1.0f, 0.0f};
    auto q = frame([&] {
        clear(0xFF000000);
        D3DMATERIAL9 m = material(0.3f, 0.2f, 0.1f);
        device->SetMaterial(&m);
        triangle(LitVertex{-0.5f, -0.5f, 0.5f, 0, -1, 0}, LitVertex{0, 0.5f, 0.5f, 0, -1, 0},
                 LitVertex{0.5f, -0.5f, 0.5f, 0, -1, 0}, D3DFVF_XYZ | D3DFVF_NORMAL);
    });
    int ambient = std::lround(255 * litChannel(0.2f, 0.3f, down));
    EXPECT_TRUE(Near(at(q, 320, 250), ambient, ambient, ambient));
}

TEST_F(DeviceRender, TextureModulatesTheLitColour) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int i = 0; i < 4; ++i) static_cast<uint32_t*>(locked.pBits)[i] = 0xFF8040C0;
    texture->UnlockRect(0);
    const float n[3] = {0.0f, 1.0f, 0.0f};
    auto p = frame([&] {
        clear(0xFF000000);
        D3DMATERIAL9 m = material(0.3f, 0.2f, 0.1f);
        device->SetMaterial(&m);
        device->SetTexture(0, texture);
        triangle(LitTexturedVertex{-0.5f, -0.5f, 0.5f, 0, 1, 0, 0, 1}, LitTexturedVertex{0, 0.5f, 0.5f, 0, 1, 0, 0.5f, 0},
                 LitTexturedVertex{0.5f, -0.5f, 0.5f, 0, 1, 0, 1, 1}, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
        device->SetTexture(0, nullptr);
    });
    texture->Release();
    EXPECT_TRUE(Near(at(p, 320, 250), std::lround(255 * litChannel(0.2f, 0.3f, n) * 0x80 / 255.0f),
                     std::lround(255 * litChannel(0.2f, 0.2f, n) * 0x40 / 255.0f),
                     std::lround(255 * litChannel(0.2f, 0.1f, n) * 0xC0 / 255.0f)));
}

TEST_F(DeviceRender, CounterClockwiseOnScreenIsCulled) {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    ColourVertex a{-0.5f, -0.5f, 0.5f, 0xFFFF0000}, b{0, 0.5f, 0.5f, 0xFFFF0000}, c{0.5f, -0.5f, 0.5f, 0xFFFF0000};
    auto shown = frame([&] {
        clear(0xFF000000);
        triangle(a, b, c, D3DFVF_XYZ | D3DFVF_DIFFUSE);
    });
    EXPECT_TRUE(Near(at(shown, 320, 250), 255, 0, 0, 0));
    auto culled = frame([&] {
        clear(0xFF000000);
        triangle(a, b, c, D3DFVF_XYZ | D3DFVF_DIFFUSE, true);
    });
    EXPECT_TRUE(Near(at(culled, 320, 250), 0, 0, 0, 0));
}

TEST_F(DeviceRender, DepthWritesOffLetAFartherTriangleShow) {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    auto draw = [&](bool writeDepth) {
        return frame([&] {
            clear(0xFF000000);
            device->SetRenderState(D3DRS_ZWRITEENABLE, writeDepth);
            triangle(ColourVertex{-0.5f, -0.5f, 0.2f, 0xFFFF0000}, ColourVertex{0, 0.5f, 0.2f, 0xFFFF0000},
                     ColourVertex{0.5f, -0.5f, 0.2f, 0xFFFF0000}, D3DFVF_XYZ | D3DFVF_DIFFUSE);
            device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
            triangle(ColourVertex{-0.5f, -0.5f, 0.8f, 0xFF00FF00}, ColourVertex{0, 0.5f, 0.8f, 0xFF00FF00},
                     ColourVertex{0.5f, -0.5f, 0.8f, 0xFF00FF00}, D3DFVF_XYZ | D3DFVF_DIFFUSE);
        });
    };
    EXPECT_TRUE(Near(at(draw(true), 320, 250), 255, 0, 0, 0));
    EXPECT_TRUE(Near(at(draw(false), 320, 250), 0, 255, 0, 0));
}

TEST_F(DeviceRender, Alpha128BlendsHalf) {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    auto p = frame([&] {
        clear(0xFF0000FF);
        triangle(ColourVertex{-0.5f, -0.5f, 0.5f, 0x80FF0000}, ColourVertex{0, 0.5f, 0.5f, 0x80FF0000},
                 ColourVertex{0.5f, -0.5f, 0.5f, 0x80FF0000}, D3DFVF_XYZ | D3DFVF_DIFFUSE);
    });
    EXPECT_TRUE(Near(at(p, 320, 250), 128, 0, 127));
}

TEST_F(DeviceRender, LitVertexColourIsIgnoredAsDirect3DDoes) {
    // With lighting on and no normal, Direct3D keeps only ambient × ambient material + emissive.
    auto p = frame([&] {
        clear(0xFF000000);
        D3DMATERIAL9 m{};
        m.Ambient = D3DCOLORVALUE{1, 0.5f, 0, 1};
        m.Emissive = D3DCOLORVALUE{0, 0, 0.25f, 1};
        device->SetMaterial(&m);
        triangle(ColourVertex{-0.5f, -0.5f, 0.5f, 0xFF00FF00}, ColourVertex{0, 0.5f, 0.5f, 0xFF00FF00},
                 ColourVertex{0.5f, -0.5f, 0.5f, 0xFF00FF00}, D3DFVF_XYZ | D3DFVF_DIFFUSE);
    });
    EXPECT_TRUE(Near(at(p, 320, 250), 0x77, std::lround(0x77 * 0.5f), std::lround(255 * 0.25f)));
}

TEST_F(DeviceRender, QuadCoversExactlyTheDirect3DPixels) {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    // Screen coordinates through a projection: x' = 2x/640 - 1, y' = 1 - 2y/480. Direct3D 9 puts pixel
    // centres on whole coordinates, so a quad from 10.5 to 20.5 covers the pixel columns 11 to 20.
    D3DMATRIX proj = Identity();
    proj._11 = 2.0f / 640;
    proj._22 = -2.0f / 480;
    proj._41 = -1.0f;
    proj._42 = 1.0f;
    device->SetTransform(D3DTS_PROJECTION, &proj);
    auto p = frame([&] {
        clear(0xFF000000);
        ColourVertex quad[4] = {{10.5f, 30.5f, 0.5f, 0xFFFFFFFF},
                                {20.5f, 30.5f, 0.5f, 0xFFFFFFFF},
                                {20.5f, 40.5f, 0.5f, 0xFFFFFFFF},
                                {10.5f, 40.5f, 0.5f, 0xFFFFFFFF}};
        device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(ColourVertex));
    });
    int outside = 0, inside = 0;
    for (int y = 20; y < 50; ++y)
        for (int x = 0; x < 30; ++x) {
            bool want = x >= 11 && x <= 20 && y >= 31 && y <= 40;
            bool lit = (at(p, x, y) & 0xFFFFFF) == 0xFFFFFF;
            if (want && lit) ++inside;
            if (!want && (at(p, x, y) & 0xFFFFFF) != 0) ++outside;
        }
    EXPECT_EQ(inside, 100);
    EXPECT_EQ(outside, 0);
}

TEST_F(DeviceRender, PresentKeepsSixtyFramesPerSecond) {
    // Xvfb has no vertical retrace: without the limiter this would run at thousands per second.
    auto start = std::chrono::steady_clock::now();
    int frames = 0;
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(2)) {
        device->BeginScene();
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
        ++frames;
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    double rate = frames / seconds;
    // Never faster than 60; a busy machine may take a few frames away (the pacer's own arithmetic is
    // checked exactly on a simulated clock), but a limiter that sleeps far too long shows here.
    EXPECT_LE(rate, 61.0) << frames << " frames in " << seconds << " s";
    EXPECT_GE(rate, 50.0) << frames << " frames in " << seconds << " s";
}

TEST_F(DeviceRender, WindowedClientIs640By480) {
    RECT client;
    ASSERT_TRUE(GetClientRect(hWnd, &client));
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    std::vector<uint32_t> window;
    int w = 0, h = 0;
    frame([&] { clear(0xFF204060); });
    ASSERT_TRUE(real::readWindow(window, w, h));
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_EQ(window[0] & 0xFFFFFF, 0x204060u);
}

class FullScreen : public Device {
protected:
    void SetUp() override { open(true); }
};

TEST_F(FullScreen, ImageIsScaledToFitWithBars) {
    // Give the X server a moment to put the window over the whole screen.
    for (int i = 0; i < 20; ++i) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        frame([&] { device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0); });
    }
    std::vector<uint32_t> window;
    int w = 0, h = 0;
    ASSERT_TRUE(real::readWindow(window, w, h));
    D3DDISPLAYMODE desktop;
    ASSERT_EQ(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop), D3D_OK);
    EXPECT_EQ(w, static_cast<int>(desktop.Width));
    EXPECT_EQ(h, static_cast<int>(desktop.Height));
    // The largest 4:3 rectangle that fits, centred; black beyond it.
    int fitW = w, fitH = w * 3 / 4;
    if (fitH > h) {
        fitH = h;
        fitW = h * 4 / 3;
    }
    int left = (w - fitW) / 2, top = (h - fitH) / 2;
    auto px = [&](int x, int y) { return window[static_cast<size_t>(y) * w + x] & 0xFFFFFF; };
    EXPECT_EQ(px(w / 2, h / 2), 0xFFFFFFu);
    EXPECT_EQ(px(left + 1, top + 1), 0xFFFFFFu);
    EXPECT_EQ(px(left + fitW - 2, top + fitH - 2), 0xFFFFFFu);
    if (top > 0) {
        EXPECT_EQ(px(w / 2, top - 1), 0u);
    }
    if (left > 0) {
        EXPECT_EQ(px(left - 1, h / 2), 0u);
    }
    EXPECT_TRUE(top > 0 || left > 0) << "a 4:3 desktop shows no bars; the test display should not be 4:3";
}

}  // namespace
