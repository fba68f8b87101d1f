// Our D3DX as a plain client of whatever IDirect3DDevice9 it is given: the same tests run over our
// headless device (Linux) and over Windows' own Direct3D 9 (the Windows build, under Wine). Only the
// platform's public interface is used to look at the results.
#include <d3dx9.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tools/common/game_device.h"
#include "tools/replay/screenshot.h"

namespace {

// A cube of side 2 around the origin, one normal per face (so 24 vertices after splitting), two
// materials: the z = -1 face is material 1, the rest material 0.
const char kCube[] = R"(xof 0302txt 0032
Mesh Cube {
  8;
  -1;-1;-1;, 1;-1;-1;, -1;1;-1;, 1;1;-1;, -1;-1;1;, 1;-1;1;, -1;1;1;, 1;1;1;;
  6;
  4;0,2,3,1;, 4;4,5,7,6;, 4;0,4,6,2;, 4;1,3,7,5;, 4;0,1,5,4;, 4;2,6,7,3;;
  MeshNormals { 6; 0;0;-1;, 0;0;1;, -1;0;0;, 1;0;0;, 0;-1;0;, 0;1;0;;
    6; 4;0,0,0,0;, 4;1,1,1,1;, 4;2,2,2,2;, 4;3,3,3,3;, 4;4,4,4,4;, 4;5,5,5,5;; }
  MeshTextureCoords { 8; 0;0;, 1;0;, 0;1;, 1;1;, 0;0;, 1;0;, 0;1;, 1;1;; }
  MeshMaterialList { 2; 6; 1,0,0,0,0,0;;
    Material { 1.0;0.5;0.25;1.0;; 8.0; 0.1;0.2;0.3;; 0.0;0.0;0.0;; TextureFilename { "cube.png"; } }
    Material { 0.0;1.0;0.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; } }
}
)";

class DeviceClient : public ::testing::Test {
protected:
    void SetUp() override {
        window = game_device::OpenWindow("d3dx client test");
        ASSERT_TRUE(window);
        ASSERT_TRUE(game_device::CreateDevice(window, true, d3d, device));
        folder = std::filesystem::temp_directory_path() / ("d3dx_client_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override {
        if (device) {
            EXPECT_EQ(device->Release(), 0u);  // D3DX let go of everything it referenced
        }
        if (d3d) d3d->Release();
        if (window) DestroyWindow(window);
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    std::string picture(const std::vector<uint32_t>& argb, int w, int h) {
        std::string path = (folder / "picture.png").string();
        EXPECT_TRUE(replay::WritePng(path, argb, w, h));
        return path;
    }
    std::vector<uint32_t> level(IDirect3DTexture9* texture, UINT l) {
        D3DSURFACE_DESC desc;
        EXPECT_EQ(texture->GetLevelDesc(l, &desc), D3D_OK);
        D3DLOCKED_RECT locked;
        std::vector<uint32_t> out;
        if (texture->LockRect(l, &locked, nullptr, D3DLOCK_READONLY) != D3D_OK) return out;
        for (UINT y = 0; y < desc.Height; ++y)
            for (UINT x = 0; x < desc.Width; ++x)
                out.push_back(reinterpret_cast<const uint32_t*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] &
                              0x00FFFFFFu);  // X8R8G8B8: the top byte is undefined
        texture->UnlockRect(l);
        return out;
    }

    HWND window = nullptr;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    std::filesystem::path folder;
};

TEST_F(DeviceClient, TexturePlacedTopLeftOrStretchedWithAFullMipChain) {
    // 3 × 2 picture: red green blue / white black grey.
    const std::vector<uint32_t> rgb = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808080};
    std::string path = picture(rgb, 3, 2);
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileExA(device, path.c_str(), 4, 4, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                           D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0, nullptr, nullptr, &texture),
              D3D_OK);
    EXPECT_EQ(level(texture, 0), (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0, 0xFFFFFF, 0, 0x808080, 0,
                                                        0, 0, 0, 0, 0, 0, 0, 0}));
    texture->Release();

    // Default size: 3 × 2 rounds up to 4 × 2, and the chain runs 4 × 2, 2 × 1, 1 × 1.
    ASSERT_EQ(D3DXCreateTextureFromFileA(device, path.c_str(), &texture), D3D_OK);
    ASSERT_EQ(texture->GetLevelCount(), 3u);
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(1, &desc);
    EXPECT_EQ(std::tuple(desc.Width, desc.Height, desc.Format), std::tuple(2u, 1u, D3DFMT_X8R8G8B8));  // no alpha
    texture->Release();

    // Not a picture: no texture, and the device holds nothing more.
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fputs("not a png", f);
    std::fclose(f);
    EXPECT_EQ(D3DXCreateTextureFromFileA(device, path.c_str(), &texture), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture, nullptr);
}

TEST_F(DeviceClient, MeshLoadsDrawsEachSubsetAndIsHitByRays) {
    ID3DXMesh* mesh = nullptr;
    ID3DXBuffer* materials = nullptr;
    DWORD count = 0;
    ASSERT_EQ(D3DXLoadMeshFromXInMemory(kCube, sizeof kCube - 1, D3DXMESH_MANAGED, device, nullptr, &materials,
                                        nullptr, &count, &mesh),
              D3D_OK);
    EXPECT_EQ(count, 2u);  // the reading itself is xfile_test's; here the mesh lives in the device's buffers
    EXPECT_EQ(mesh->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1));
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1), 24u);

    ASSERT_EQ(device->BeginScene(), D3D_OK);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    EXPECT_EQ(mesh->DrawSubset(0), D3D_OK);
    EXPECT_EQ(mesh->DrawSubset(1), D3D_OK);
    DWORD fvf = 0;
    device->GetFVF(&fvf);
    EXPECT_EQ(fvf, mesh->GetFVF());  // DrawSubset sets the mesh's own format
    ASSERT_EQ(device->EndScene(), D3D_OK);

    // From z = -5 along +z: in through the z = -1 face (t = 4), out through z = 1 (t = 6). Faces are
    // sorted by material, so the material-1 face's two triangles come last (faces 10 and 11).
    D3DXVECTOR3 from(0.25f, 0.5f, -5), along(0, 0, 1);
    BOOL hit = FALSE;
    DWORD face = 0, hits = 0;
    float u = 0, v = 0, dist = 0;
    ASSERT_EQ(D3DXIntersect(mesh, &from, &along, &hit, &face, &u, &v, &dist, nullptr, &hits), D3D_OK);
    EXPECT_EQ(std::tuple(hit, face >= 10, hits), std::tuple(TRUE, true, 2u)) << face;
    EXPECT_FLOAT_EQ(dist, 4.0f);
    materials->Release();
    mesh->Release();
}

TEST_F(DeviceClient, SpriteSetsItsStatesAndPutsTheDevicesBack) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileA(device, picture({0xFFFFFF}, 1, 1).c_str(), &texture), D3D_OK);
    ID3DXSprite* sprite = nullptr;
    ASSERT_EQ(D3DXCreateSprite(device, &sprite), D3D_OK);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 1, 2, 3);
    device->SetTransform(D3DTS_WORLD, &world);

    ASSERT_EQ(device->BeginScene(), D3D_OK);
    ASSERT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
    auto cullAndBlend = [&] {
        DWORD cull = 0, blend = 0;
        device->GetRenderState(D3DRS_CULLMODE, &cull);
        device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
        return std::pair(cull, blend);
    };
    EXPECT_EQ(cullAndBlend(), std::pair(DWORD(D3DCULL_NONE), DWORD(TRUE)));
    D3DMATRIX projection, expected;
    device->GetTransform(D3DTS_PROJECTION, &projection);
    // The viewport's 640 × 480 with Direct3D's half-pixel: x 0.5 → -1 and 640.5 → 1, y 0.5 → 1.
    D3DXMatrixOrthoOffCenterLH(static_cast<D3DXMATRIX*>(&expected), 0.5f, 640.5f, 480.5f, 0.5f, 0.0f, 1.0f);
    EXPECT_EQ(D3DXMATRIX(projection), D3DXMATRIX(expected));
    EXPECT_EQ(sprite->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFF), D3D_OK);
    ASSERT_EQ(sprite->End(), D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);

    EXPECT_EQ(cullAndBlend(), std::pair(DWORD(D3DCULL_CW), DWORD(FALSE)));
    D3DMATRIX after;
    device->GetTransform(D3DTS_WORLD, &after);
    EXPECT_EQ(D3DXMATRIX(after), world);
    sprite->Release();
    texture->Release();
}

}  // namespace
