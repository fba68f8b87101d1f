// The OpenGL device against Direct3D 9's picture: lighting, texturing, culling, depth, blending, pixel
// coverage and pacing, read back from real frames.
#include <d3dx9.h>

#include <algorithm>
#include <chrono>
#include <cmath>

#include "gl/control.h"
#include "render/render_support.h"

using namespace render_test;

namespace {

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
        D3DXMATRIX id;
        D3DXMatrixIdentity(&id);
        for (D3DTRANSFORMSTATETYPE t : {D3DTS_WORLD, D3DTS_VIEW, D3DTS_PROJECTION}) device->SetTransform(t, &id);
    }
    // One frame drawn over `background`: the pixel at the screen centre, which the triangles cover.
    uint32_t centre(D3DCOLOR background, const std::function<void()>& draw) {
        const auto p = frame([&] {
            clear(background);
            draw();
        });
        return at(p, 320, 250);
    }

    // A triangle around the screen centre, clockwise on screen unless asked otherwise; `vertex(x, y)`
    // makes its corners.
    template <typename V, typename Make>
    void triangle(DWORD fvf, Make vertex, bool counterClockwise = false) {
        V v[3] = {vertex(-0.5f, -0.5f), vertex(0, 0.5f), vertex(0.5f, -0.5f)};
        if (counterClockwise) std::swap(v[1], v[2]);
        device->SetFVF(fvf);
        device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(V));
    }
    void colourTriangle(float z, DWORD colour, bool counterClockwise = false) {
        triangle<ColourVertex>(
            D3DFVF_XYZ | D3DFVF_DIFFUSE, [&](float x, float y) { return ColourVertex{x, y, z, colour}; },
            counterClockwise);
    }
    // A frame of a lit triangle facing `ny` (up or down) in the material (0.3, 0.2, 0.1) over black,
    // textured with `texture` if given; the centre pixel.
    uint32_t litCentre(float ny, IDirect3DTexture9* texture = nullptr) {
        D3DMATERIAL9 m{};
        m.Diffuse = D3DCOLORVALUE{0.3f, 0.2f, 0.1f, 1.0f};
        m.Ambient = D3DCOLORVALUE{0.2f, 0.2f, 0.2f, 1.0f};
        return centre(0xFF000000, [&] {
            device->SetMaterial(&m);
            device->SetTexture(0, texture);
            triangle<LitTexturedVertex>(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, [&](float x, float y) {
                return LitTexturedVertex{x, y, 0.5f, 0, ny, 0, x + 0.5f, 0.5f - y};
            });
            device->SetTexture(0, nullptr);
        });
    }
};

// Direct3D 9's lighting equation for a normal under the game's four lights (view = identity), one
// channel, scaled to 0..255: ambient 0x77 × the ambient material plus the diffuse material × the sum
// of the lights' cosines.
long litChannel(float ambientMaterial, float diffuseMaterial, float ny, float texel = 1.0f) {
    const float dirs[4][3] = {{1, -0.5f, 0}, {0, -0.5f, 1}, {-1, -0.5f, 0}, {0, -0.5f, -1}};
    float sum = 0;
    for (auto& d : dirs) {
        float dot = -ny * d[1] / std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        sum += dot > 0 ? dot : 0;
    }
    return std::lround(255 * std::min(1.0f, ambientMaterial * (0x77 / 255.0f) + diffuseMaterial * sum) * texel);
}

TEST_F(DeviceRender, LitTriangleFollowsDirect3DLightingAndTheTextureModulatesIt) {
    EXPECT_TRUE(Near(litCentre(1), litChannel(0.2f, 0.3f, 1), litChannel(0.2f, 0.2f, 1), litChannel(0.2f, 0.1f, 1)));
    // A normal facing away from every light keeps only the ambient part.
    const long ambient = litChannel(0.2f, 0.3f, -1);
    EXPECT_TRUE(Near(litCentre(-1), ambient, ambient, ambient));

    IDirect3DTexture9* texture = FilledTexture(2, 2, [](int, int) { return 0xFF8040C0u; });
    const uint32_t textured = litCentre(1, texture);
    texture->Release();
    EXPECT_TRUE(Near(textured, litChannel(0.2f, 0.3f, 1, 0x80 / 255.0f), litChannel(0.2f, 0.2f, 1, 0x40 / 255.0f),
                     litChannel(0.2f, 0.1f, 1, 0xC0 / 255.0f)));
}

TEST_F(DeviceRender, CullingDepthWritesAndBlending) {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    // Counter-clockwise on screen is culled.
    for (bool counterClockwise : {false, true})
        EXPECT_TRUE(Near(centre(0xFF000000, [&] { colourTriangle(0.5f, 0xFFFF0000, counterClockwise); }),
                         counterClockwise ? 0 : 255, 0, 0, 0))
            << counterClockwise;
    // With depth writes off a farther triangle drawn after a nearer one shows.
    for (bool writeDepth : {true, false}) {
        const uint32_t c = centre(0xFF000000, [&] {
            device->SetRenderState(D3DRS_ZWRITEENABLE, writeDepth);
            colourTriangle(0.2f, 0xFFFF0000);
            device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
            colourTriangle(0.8f, 0xFF00FF00);
        });
        EXPECT_TRUE(Near(c, writeDepth ? 255 : 0, writeDepth ? 0 : 255, 0, 0)) << writeDepth;
    }
    // Alpha 128 of red over blue blends half and half.
    EXPECT_TRUE(Near(centre(0xFF0000FF, [&] { colourTriangle(0.5f, 0x80FF0000); }), 128, 0, 127));
}

TEST_F(DeviceRender, LitVertexColourIsIgnoredAsDirect3DDoes) {
    // With lighting on and no normal, Direct3D keeps only ambient × ambient material + emissive.
    const uint32_t c = centre(0xFF000000, [&] {
        D3DMATERIAL9 m{};
        m.Ambient = D3DCOLORVALUE{1, 0.5f, 0, 1};
        m.Emissive = D3DCOLORVALUE{0, 0, 0.25f, 1};
        device->SetMaterial(&m);
        colourTriangle(0.5f, 0xFF00FF00);
    });
    EXPECT_TRUE(Near(c, 0x77, std::lround(0x77 * 0.5f), std::lround(255 * 0.25f)));
}

TEST_F(DeviceRender, QuadCoversExactlyTheDirect3DPixels) {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    // Screen coordinates through a projection: x' = 2x/640 - 1, y' = 1 - 2y/480. Direct3D 9 puts pixel
    // centres on whole coordinates, so a quad from 10.5 to 20.5 covers the pixel columns 11 to 20.
    D3DXMATRIX proj;
    D3DXMatrixOrthoOffCenterLH(&proj, 0, 640, 480, 0, 0, 1);
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
    int wrong = 0;
    for (int y = 20; y < 50; ++y)
        for (int x = 0; x < 30; ++x)
            wrong += (at(p, x, y) & 0xFFFFFF) != (x >= 11 && x <= 20 && y >= 31 && y <= 40 ? 0xFFFFFFu : 0u);
    EXPECT_EQ(wrong, 0);
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

}  // namespace
