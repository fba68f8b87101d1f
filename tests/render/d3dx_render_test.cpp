// D3DX drawing on the OpenGL device, read back: sprites map texels to pixels 1:1, the fade overlay
// covers the frame with exactly its colour, and a cached .x mesh shows its materials and textures.
#include <d3dx9.h>

#include <filesystem>
#include <fstream>

#include "app/globals.h"
#include "app/fade.h"
#include "app/scene_manager.h"
#include "render/render_support.h"
#include "resource/resource_cache.h"
#include "tools/replay/screenshot.h"

using namespace render_test;

namespace {

// Every texel different: red = x · 4, green = y · 4, blue 0x80, opaque.
uint32_t patternTexel(int x, int y) { return 0xFF000080u | uint32_t(x * 4) << 16 | uint32_t(y * 4) << 8; }

IDirect3DTexture9* filledTexture(IDirect3DDevice9* device, int w, int h, uint32_t (*texel)(int, int)) {
    IDirect3DTexture9* t = nullptr;
    EXPECT_EQ(device->CreateTexture(w, h, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr), D3D_OK);
    D3DLOCKED_RECT locked;
    t->LockRect(0, &locked, nullptr, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch)[x] = texel(x, y);
    t->UnlockRect(0);
    return t;
}

class D3dxRender : public Device {
protected:
    void SetUp() override {
        open();
        ASSERT_EQ(D3DXCreateSprite(device, &g_sprite), D3D_OK);
        g_sprite->OnResetDevice();
        g_whiteTexture = filledTexture(device, 3, 3, [](int, int) { return 0xFFFFFFFFu; });
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
    IDirect3DTexture9* texture = filledTexture(device, 64, 64, patternTexel);
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
    EXPECT_TRUE(Near(at(p, 106, 65), 0, 0, 0, 0));
    EXPECT_TRUE(Near(at(p, 107, 64), 0, 0, 0, 0));
    EXPECT_TRUE(Near(at(p, 139, 97), 0, 0, 0, 0));
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

// A flat panel facing the camera: the left quad uses a red texture, the right quad a plain material.
const char kPanel[] = R"(xof 0302txt 0032
Mesh {
  6; -0.8;-0.5;0.5;, 0;-0.5;0.5;, 0.8;-0.5;0.5;, -0.8;0.5;0.5;, 0;0.5;0.5;, 0.8;0.5;0.5;;
  2; 4;0,3,4,1;, 4;1,4,5,2;;
  MeshNormals { 1; 0;0;-1;; 2; 4;0,0,0,0;, 4;0,0,0,0;; }
  MeshTextureCoords { 6; 0;1;, 1;1;, 0;1;, 0;0;, 1;0;, 0;0;; }
  MeshMaterialList { 2; 2; 0, 1;;
    Material { 0.5;0.5;0.5;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { "render-red.png"; } }
    Material { 0.5;0.25;0;1;; 0; 0;0;0;; 0;0;0;; }
  }
})";

TEST_F(D3dxRender, CachedMeshDrawsWithItsMaterialsAndTextures) {
    auto dir = std::filesystem::temp_directory_path() / "quillmoor-render-mesh";
    std::filesystem::create_directories(dir / "data/xfile");
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    std::ofstream("data/xfile/panel.x") << kPanel;
    ASSERT_TRUE(replay::WritePng("render-red.png", {0xFFFF0000u}, 1, 1));
    g_fatalError = false;
    ResourceCache cache;
    ASSERT_TRUE(cache.LoadMesh("panel.x"));
    ASSERT_FALSE(g_fatalError);
    MeshRecord* panel = cache.Find("panel.x");
    ASSERT_NE(panel->textures[0], nullptr);

    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    auto p = frame([&] {
        clear(0xFF000000);
        device->SetTransform(D3DTS_WORLD, &identity);
        device->SetTransform(D3DTS_VIEW, &identity);
        device->SetTransform(D3DTS_PROJECTION, &identity);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        panel->Draw();
    });
    cache.ReleaseAll();
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);

    // Lit by the ambient 0x77 on the material's own colour (ambient = diffuse) and by light 1, which
    // meets the panel at 1 / |(0, -0.5, 1)|: each channel is the diffuse × (0x77/255 + 0.894).
    const float gain = 0x77 / 255.0f + 1.0f / std::sqrt(1.25f);
    auto channel = [&](float c) { return static_cast<int>(std::min(1.0f, c * gain) * 255.0f + 0.5f); };
    EXPECT_TRUE(Near(at(p, 160, 240), channel(0.5f), 0, 0, 3));               // red texture × grey material
    EXPECT_TRUE(Near(at(p, 480, 240), channel(0.5f), channel(0.25f), 0, 3));  // the plain orange material
    EXPECT_TRUE(Near(at(p, 20, 20), 0, 0, 0, 0));                             // outside the panel
}

}  // namespace
