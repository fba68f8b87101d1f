// D3DX drawing on the OpenGL device, read back: sprites map texels to pixels 1:1 and the fade overlay
// covers the frame with exactly its colour. (A cached mesh's materials and textures are the cache tests';
// lit, textured drawing is the device tests'.)
#include <d3dx9.h>

#include "app/globals.h"
#include "app/fade.h"
#include "app/scene_manager.h"
#include "render/render_support.h"

using namespace render_test;

namespace {

// Every texel different: red = x · 4, green = y · 4, blue 0x80, opaque.
uint32_t patternTexel(int x, int y) { return 0xFF000080u | uint32_t(x * 4) << 16 | uint32_t(y * 4) << 8; }

class D3dxRender : public Device {
protected:
    void SetUp() override {
        open();
        ASSERT_EQ(D3DXCreateSprite(device, &g_sprite), D3D_OK);
        g_sprite->OnResetDevice();
        g_whiteTexture = FilledTexture(3, 3, [](int, int) { return 0xFFFFFFFFu; });
    }
    void TearDown() override {
        if (g_whiteTexture) g_whiteTexture->Release();
        g_whiteTexture = nullptr;
        if (g_sprite) g_sprite->Release();
        g_sprite = nullptr;
        g_fadeLevel = g_fadeRed = g_fadeGreen = g_fadeBlue = 0;
        Device::TearDown();
    }
};

TEST_F(D3dxRender, SpriteSourceRectangleMapsTexelToPixelOneToOne) {
    IDirect3DTexture9* texture = FilledTexture(64, 64, patternTexel);
    D3DXMATRIX shift;
    D3DXMatrixTranslation(&shift, 7, 5, 0);
    auto p = frame([&] {
        clear(0xFF000000);
        g_sprite->Begin(D3DXSPRITE_ALPHABLEND);
        g_sprite->SetTransform(&shift);
        RECT source = {16, 8, 48, 40};
        D3DXVECTOR3 position(100, 60, 0);
        g_sprite->Draw(texture, &source, nullptr, &position, 0xFFFFFFFF);
        g_sprite->End();
    });
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            uint32_t want = patternTexel(16 + x, 8 + y);
            ASSERT_TRUE(Near(at(p, 107 + x, 65 + y), red(want), green(want), blue(want), 1)) << x << ", " << y;
        }
    // Nothing outside the rectangle.
    for (auto [x, y] : {std::pair{106, 65}, {107, 64}, {139, 97}}) EXPECT_TRUE(Near(at(p, x, y), 0, 0, 0, 0)) << x;
    texture->Release();
}

TEST_F(D3dxRender, FadeOverlayCoversTheFrameAtFullLevelAndVanishesAtZero) {
    g_fadeRed = 200;
    g_fadeGreen = 40;
    g_fadeBlue = 10;
    auto overlaid = [&](int16_t level) {
        g_fadeLevel = level;
        return frame([&] {
            clear(0xFF3366AA);
            g_sprite->Begin(D3DXSPRITE_ALPHABLEND);
            DrawFadeOverlay();
        });
    };
    for (uint32_t c : overlaid(255)) ASSERT_EQ(c & 0xFFFFFF, 0xC8280Au);
    for (uint32_t c : overlaid(0)) ASSERT_EQ(c & 0xFFFFFF, 0x3366AAu);
}

}  // namespace
