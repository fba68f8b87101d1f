// The sprite: the states Begin sets and End puts back, and the rectangles it hands to the device.
#include <d3dx9.h>
#include <gtest/gtest.h>

#include <cstring>

#include "app/globals.h"
#include "app/fade.h"
#include "support/device.h"

using namespace testing_support;

namespace {

struct SpriteVertex {
    float x, y, z;
    D3DCOLOR color;
    float u, v;
    bool operator==(const SpriteVertex& o) const {
        return x == o.x && y == o.y && z == o.z && color == o.color && u == o.u && v == o.v;
    }
};
void PrintTo(const SpriteVertex& v, std::ostream* os) {
    *os << "(" << v.x << ", " << v.y << ", " << v.z << ", " << std::hex << v.color << std::dec << ", " << v.u << ", "
        << v.v << ")";
}

std::vector<SpriteVertex> verticesOf(const headless::RecordedDraw& d) {
    std::vector<SpriteVertex> out(d.vertices.size() / sizeof(SpriteVertex));
    std::memcpy(out.data(), d.vertices.data(), out.size() * sizeof(SpriteVertex));
    return out;
}

class Sprite : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        ASSERT_EQ(D3DXCreateSprite(g_device, &g_sprite), D3D_OK);
        ASSERT_EQ(g_device->CreateTexture(64, 32, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
        ASSERT_EQ(g_device->CreateTexture(3, 3, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &g_whiteTexture, nullptr),
                  D3D_OK);
        g_device->BeginScene();
        headless::recordDraws(true);
    }
    void TearDown() override {
        g_device->EndScene();
        if (texture) texture->Release();
        if (g_whiteTexture) g_whiteTexture->Release();
        g_whiteTexture = nullptr;
        if (g_sprite) g_sprite->Release();
        g_sprite = nullptr;
        DeviceTest::TearDown();
    }
    const d3d9::DeviceState& state() { return g_device->impl->state; }
    IDirect3DTexture9* texture = nullptr;
};

TEST_F(Sprite, BeginSetsTheSpriteStatesAndEndPutsTheDevicesBack) {
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 1, 2, 3);
    for (D3DTRANSFORMSTATETYPE t : {D3DTS_WORLD, D3DTS_VIEW}) g_device->SetTransform(t, &world);
    g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    g_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    g_device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    g_device->SetRenderState(D3DRS_FOGENABLE, TRUE);  // as the stages leave it
    g_device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    g_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    g_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    g_device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
    g_device->SetTexture(0, g_whiteTexture);
    d3d9::DeviceState before = state();

    ASSERT_EQ(g_sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
    const d3d9::DeviceState& s = state();
    // Blending, culling, the projection and putting them back are also checked by the device client test.
    const std::pair<D3DRENDERSTATETYPE, DWORD> render[] = {
        {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA}, {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA}, {D3DRS_ALPHATESTENABLE, TRUE},
        {D3DRS_ALPHAFUNC, D3DCMP_GREATER},   {D3DRS_LIGHTING, FALSE},                 {D3DRS_FOGENABLE, FALSE},
        {D3DRS_ZENABLE, D3DZB_TRUE},  // depth is left alone
    };
    for (auto [state, value] : render) EXPECT_EQ(s.render[state], value) << state;
    EXPECT_EQ(std::tuple(s.stage[0][D3DTSS_COLOROP], s.stage[0][D3DTSS_ALPHAOP], s.stage[1][D3DTSS_COLOROP]),
              std::tuple(DWORD(D3DTOP_MODULATE), DWORD(D3DTOP_MODULATE), DWORD(D3DTOP_DISABLE)));
    EXPECT_EQ(s.sampler[0][D3DSAMP_ADDRESSU], DWORD(D3DTADDRESS_CLAMP));
    EXPECT_EQ(s.sampler[0][D3DSAMP_MINFILTER], DWORD(D3DTEXF_LINEAR));
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    EXPECT_EQ(std::pair(D3DXMATRIX(s.world), D3DXMATRIX(s.view)), std::pair(identity, identity));

    g_sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFF);
    ASSERT_EQ(g_sprite->End(), D3D_OK);
    // Every state, transform, the format and the texture as they were.
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
    // Without D3DXSPRITE_ALPHABLEND the sprite draws opaque: no blending, and no texel left out by the alpha test.
    g_sprite->Begin(0);
    EXPECT_EQ(std::pair(s.render[D3DRS_ALPHABLENDENABLE], s.render[D3DRS_ALPHATESTENABLE]),
              std::pair(DWORD(FALSE), DWORD(FALSE)));
    g_sprite->End();
}

TEST_F(Sprite, CornersAndTexelsOfADrawUseTheTransformOfThatDraw) {
    g_sprite->Begin(D3DXSPRITE_ALPHABLEND);
    D3DXMATRIX shift;
    D3DXMatrixTranslation(&shift, 10, 20, 0);
    g_sprite->SetTransform(&shift);
    RECT source = {8, 4, 24, 20};
    D3DXVECTOR3 centre(2, 3, 0), position(100, 50, 0);
    ASSERT_EQ(g_sprite->Draw(texture, &source, &centre, &position, 0x80FF0000), D3D_OK);
    D3DXMatrixScaling(&shift, 5, 5, 5);  // changed after the draw: no effect on it
    g_sprite->SetTransform(&shift);
    EXPECT_TRUE(headless::recordedDraws().empty());  // nothing is drawn before the flush
    g_sprite->End();

    ASSERT_EQ(headless::recordedDraws().size(), 1u);
    const auto& draw = headless::recordedDraws()[0];
    EXPECT_EQ(draw.state.fvf, DWORD(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1));
    EXPECT_EQ(draw.state.textures[0], texture);
    EXPECT_EQ(draw.type, D3DPT_TRIANGLELIST);  // with the six indices below: two triangles
    EXPECT_EQ(draw.indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3}));
    const float x0 = 108, y0 = 67;  // position − centre + the translation
    const D3DCOLOR c = 0x80FF0000;
    // Whole numbers and texel coordinates in 64ths and 32nds: exact in floating point.
    EXPECT_EQ(verticesOf(draw), (std::vector<SpriteVertex>{{x0, y0, 0, c, 8 / 64.0f, 4 / 32.0f},
                                                           {x0 + 16, y0, 0, c, 24 / 64.0f, 4 / 32.0f},
                                                           {x0 + 16, y0 + 16, 0, c, 24 / 64.0f, 20 / 32.0f},
                                                           {x0, y0 + 16, 0, c, 8 / 64.0f, 20 / 32.0f}}));
}

TEST_F(Sprite, DrawsKeepTheirOrderAndShareADrawPerTexture) {
    g_sprite->Begin(D3DXSPRITE_ALPHABLEND);
    g_sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFF);
    g_sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFF);
    g_sprite->Draw(g_whiteTexture, nullptr, nullptr, nullptr, 0xFFFFFFFF);
    g_sprite->Flush();
    g_sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFF);
    g_sprite->End();
    const auto& draws = headless::recordedDraws();
    ASSERT_EQ(draws.size(), 3u);  // the first two rectangles in one draw
    EXPECT_EQ(draws[0].state.textures[0], texture);
    EXPECT_EQ(draws[1].state.textures[0], g_whiteTexture);
    EXPECT_EQ(draws[2].state.textures[0], texture);
    // Whole-texture draws without a position start at the origin.
    EXPECT_EQ(std::pair(verticesOf(draws[1])[2].x, verticesOf(draws[1])[2].u), std::pair(3.0f, 1.0f));
}

TEST_F(Sprite, CallsOutOfOrderAreRefused) {
    EXPECT_EQ(g_sprite->Draw(texture, nullptr, nullptr, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(g_sprite->End(), D3DERR_INVALIDCALL);
    EXPECT_EQ(g_sprite->Flush(), D3DERR_INVALIDCALL);
    EXPECT_EQ(g_sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
    EXPECT_EQ(g_sprite->Begin(D3DXSPRITE_ALPHABLEND), D3DERR_INVALIDCALL);
    EXPECT_EQ(g_sprite->Draw(nullptr, nullptr, nullptr, nullptr, 0), D3DERR_INVALIDCALL);
    // A lost device drops what was queued and ends the batch.
    g_sprite->Draw(texture, nullptr, nullptr, nullptr, 0);
    EXPECT_EQ(g_sprite->OnLostDevice(), D3D_OK);
    EXPECT_EQ(g_sprite->OnResetDevice(), D3D_OK);
    EXPECT_EQ(g_sprite->End(), D3DERR_INVALIDCALL);
    EXPECT_EQ(g_sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);  // the next batch has nothing from before
    EXPECT_EQ(g_sprite->End(), D3D_OK);
    EXPECT_TRUE(headless::recordedDraws().empty());
}

TEST_F(Sprite, FadeOverlayCoversTheScreenInTheFadeColourAndEndsTheSprite) {
    g_fadeLevel = 200;
    g_fadeRed = 0x1FF;  // only the low 8 bits count
    g_fadeGreen = 0x102;
    g_fadeBlue = 3;
    g_sprite->Begin(D3DXSPRITE_ALPHABLEND);
    DrawFadeOverlay();
    EXPECT_EQ(g_sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);  // the overlay ended the sprite
    g_sprite->End();
    g_fadeLevel = 0;
    g_fadeRed = g_fadeGreen = g_fadeBlue = 0;

    ASSERT_EQ(headless::recordedDraws().size(), 1u);
    const auto& draw = headless::recordedDraws()[0];
    EXPECT_EQ(draw.state.textures[0], g_whiteTexture);
    std::vector<SpriteVertex> v = verticesOf(draw);
    const float corners[4][2] = {{0, 0}, {640, 0}, {640, 480}, {0, 480}};
    // Alpha 200, and the low byte of each colour.
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(std::tuple(v[i].x, v[i].y, v[i].color), std::tuple(corners[i][0], corners[i][1], 0xC8FF0203u)) << i;
}

}  // namespace
