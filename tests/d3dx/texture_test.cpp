// Textures from PNG files: placement without filtering, default sizes, colour key, and broken pictures.
#include <d3dx9.h>
#include <gtest/gtest.h>

#include "app/globals.h"
#include "d3d9/state.h"
#include "support/device.h"
#include "support/pictures.h"

using namespace testing_support;

namespace {

// A picture whose every pixel is different: 0xAARRGGBB with R = x, G = y.
std::vector<uint32_t> gradient(int w, int h, uint32_t alpha = 0xFF) {
    std::vector<uint32_t> p;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.push_back(alpha << 24 | uint32_t(x) << 16 | uint32_t(y) << 8 | 0x40);
    return p;
}

class Texture : public DeviceTest {
protected:
    void TearDown() override {
        if (texture) texture->Release();
        DeviceTest::TearDown();
    }
    HRESULT load(const char* file, UINT w, UINT h, DWORD filter = D3DX_FILTER_NONE, D3DCOLOR key = 0) {
        if (texture) texture->Release();
        texture = nullptr;
        return D3DXCreateTextureFromFileExA(g_device, file, w, h, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, filter,
                                            D3DX_DEFAULT, key, &info, nullptr, &texture);
    }
    const std::vector<uint32_t>& texels(UINT level = 0) { return texture->impl->texels[level]; }
    IDirect3DTexture9* texture = nullptr;
    D3DXIMAGE_INFO info{};
};

TEST_F(Texture, ExplicitSizeWithoutFilterPutsThePictureAtTheTopLeft) {
    WritePng("pic.png", 5, 3, gradient(5, 3, 0xC0));
    ASSERT_EQ(load("pic.png", 8, 4), D3D_OK);
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    // One level of 8 × 4 (the texels below are laid out in rows of 8) from a 5 × 3 picture.
    EXPECT_EQ(std::tuple(desc.Format, texture->GetLevelCount(), info.Width, info.Height),
              std::tuple(D3DFMT_A8R8G8B8, 1u, 5u, 3u));
    std::vector<uint32_t> expected(32, 0);  // the rest is transparent black
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) expected[y * 8 + x] = gradient(5, 3, 0xC0)[y * 5 + x];
    EXPECT_EQ(texels(), expected);

    // A larger picture is cropped, not shrunk.
    WritePng("big.png", 6, 6, gradient(6, 6));
    ASSERT_EQ(load("big.png", 2, 2), D3D_OK);
    EXPECT_EQ(texels(), (std::vector<uint32_t>{0xFF000040, 0xFF010040, 0xFF000140, 0xFF010140}));
}

TEST_F(Texture, DefaultSizeRoundsUpToAPowerOfTwo) {
    WritePng("pic.png", 5, 3, gradient(5, 3));
    ASSERT_EQ(load("pic.png", D3DX_DEFAULT, D3DX_DEFAULT), D3D_OK);
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(std::pair(desc.Width, desc.Height), std::pair(8u, 4u));
    ASSERT_EQ(load("pic.png", D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2), D3D_OK);
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 5u);
    // The plain loader stretches to the rounded size (its mip chain is checked by the device client test).
    texture->Release();
    ASSERT_EQ(D3DXCreateTextureFromFileA(g_device, "pic.png", &texture), D3D_OK);
    EXPECT_EQ(texels()[7] >> 16 & 0xFF, 4u);  // the right edge of the picture reaches the right edge
}

TEST_F(Texture, ColourKeyClearsMatchingPixelsAndZeroKeysNothing) {
    WritePng("key.png", 2, 1, {0xFFFF00FF, 0xFF00FF00});
    ASSERT_EQ(load("key.png", 2, 1, D3DX_FILTER_NONE, 0xFFFF00FF), D3D_OK);
    EXPECT_EQ(texels(), (std::vector<uint32_t>{0x00000000, 0xFF00FF00}));
    WritePng("black.png", 1, 1, {0x00000000});
    ASSERT_EQ(load("black.png", 1, 1, D3DX_FILTER_NONE, 0), D3D_OK);
    EXPECT_EQ(texels(), (std::vector<uint32_t>{0x00000000}));
}

TEST_F(Texture, BrokenPicturesFailWithoutATexture) {
    std::string png = EncodePng(4, 4, gradient(4, 4));
    std::string corruptData = png;
    corruptData[corruptData.size() - 20] ^= 0x55;  // inside the image data: the checksum no longer matches
    std::string hugeHeader = png;
    hugeHeader[16] = 0x7F;  // width 2,130,706,436
    const std::string files[] = {
        "",                             // empty
        "not a picture at all",         // no signature
        png.substr(0, 8),               // the signature alone
        png.substr(0, png.size() / 2),  // cut short
        corruptData,
        hugeHeader,
    };
    int n = 0;
    for (const auto& bytes : files) {
        std::string name = "broken" + std::to_string(n++) + ".png";
        WriteText(name, bytes);
        EXPECT_TRUE(FAILED(load(name.c_str(), 4, 4))) << name;
        EXPECT_EQ(texture, nullptr) << name;
    }
    EXPECT_TRUE(FAILED(load("missing.png", 4, 4)));
    EXPECT_EQ(texture, nullptr);
}

}  // namespace
