// The mesh cache and the texture loader: load once per name, release, materials, a failed material
// texture, and failed meshes left out of the cache.
#include "resource/resource_cache.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <regex>

#include "app/globals.h"
#include "diag/log.h"
#include "support/device.h"
#include "support/pictures.h"

using namespace testing_support;

namespace {

// Two triangles, one per material; material 0 is textured, material 1 names `secondTexture` (or none).
std::string twoMaterialMesh(const std::string& secondTexture) {
    std::string second = secondTexture.empty() ? "" : "TextureFilename { \"" + secondTexture + "\"; }";
    return "xof 0302txt 0032\n"
           "Mesh { 4; 0;0;0;, 1;0;0;, 0;1;0;, 1;1;0;; 2; 3;0,1,2;, 3;1,3,2;;\n"
           "  MeshNormals { 1; 0;0;-1;; 2; 3;0,0,0;, 3;0,0,0;; }\n"
           "  MeshTextureCoords { 4; 0;0;, 1;0;, 0;1;, 1;1;; }\n"
           "  MeshMaterialList { 2; 2; 0, 1;;\n"
           "    Material { 0.2;0.4;0.6;0.8;; 5; 0;0;0;; 0;0;0;; TextureFilename { \"data/texture/wood.png\"; } }\n"
           "    Material { 1;0.5;0;1;; 0; 0;0;0;; 0;0;0;; " +
           second + " } } }\n";
}

class Cache : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        WritePng("data/texture/wood.png", 2, 2, std::vector<uint32_t>(4, 0xFF806040));
        g_log.open("Log.txt");
    }
    void TearDown() override {
        cache.ReleaseAll();
        g_log.close();
        DeviceTest::TearDown();
    }
    std::string log() {
        g_log.flush();
        return ReadFile("Log.txt");
    }
    ResourceCache cache;
};

TEST_F(Cache, LoadsEachNameOnceAndForgetsEverythingOnReleaseAll) {
    WriteText("data/xfile/door.x", twoMaterialMesh(""));
    WriteText("data/xfile/Door.x", twoMaterialMesh(""));
    ASSERT_TRUE(cache.LoadMesh("door.x"));
    MeshRecord* first = cache.Find("door.x");
    ASSERT_NE(first, nullptr);
    std::filesystem::remove("data/xfile/door.x");
    EXPECT_TRUE(cache.LoadMesh("door.x"));  // already held: the file is not read again
    EXPECT_EQ(cache.Find("door.x"), first);
    // Names differing in case are different records.
    ASSERT_TRUE(cache.LoadMesh("Door.x"));
    MeshRecord* other = cache.Find("Door.x");
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other->mesh, first->mesh);  // and so another record

    cache.ReleaseAll();
    EXPECT_EQ(cache.Find("door.x"), nullptr);
    EXPECT_FALSE(g_fatalError);
    EXPECT_TRUE(headless::messageBoxes().empty());
}

TEST_F(Cache, MaterialsTakeTheirDiffuseAsAmbientAndTexturesLoad) {
    WriteText("data/xfile/door.x", twoMaterialMesh(""));
    ASSERT_TRUE(cache.LoadMesh("door.x"));
    MeshRecord* r = cache.Find("door.x");
    ASSERT_EQ(r->materialCount, 2u);
    for (DWORD i = 0; i < 2; ++i)
        EXPECT_EQ(std::memcmp(&r->materials[i].Ambient, &r->materials[i].Diffuse, sizeof(D3DCOLORVALUE)), 0) << i;
    EXPECT_EQ(std::pair(r->materials[0].Diffuse.a, r->materials[0].Power), std::pair(0.8f, 5.0f));
    EXPECT_NE(r->textures[0], nullptr);
    EXPECT_EQ(r->textures[1], nullptr);  // no texture named: none, and no message

    // Drawing sets each subset's material and texture before its draw; the last ones stay set.
    headless::recordDraws(true);
    g_device->BeginScene();
    r->Draw();
    g_device->EndScene();
    const auto& draws = headless::recordedDraws();
    ASSERT_EQ(draws.size(), 2u);
    for (size_t i = 0; i < 2; ++i)
        EXPECT_EQ(std::tuple(draws[i].state.material.Diffuse.r, draws[i].state.textures[0], draws[i].primitiveCount),
                  std::tuple(r->materials[i].Diffuse.r, r->textures[i], 1u))
            << i;
    const d3d9::DeviceState& last = g_device->impl->state;
    EXPECT_EQ(std::pair(last.textures[0], last.material.Diffuse.r), (std::pair<IDirect3DTexture9*, float>(nullptr, 1)));
}

TEST_F(Cache, AMissingMaterialTextureIsReportedButTheMeshStaysCached) {
    WriteText("data/xfile/door.x", twoMaterialMesh("data/texture/missing.png"));
    EXPECT_TRUE(cache.LoadMesh("door.x"));
    EXPECT_TRUE(g_fatalError);
    MeshRecord* r = cache.Find("door.x");
    ASSERT_NE(r, nullptr);
    EXPECT_NE(r->textures[0], nullptr);
    EXPECT_EQ(r->textures[1], nullptr);
    ASSERT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_EQ(headless::messageBoxes()[0].text, "テクスチャ「data/texture/missing.png」の読み込みに失敗しました");
    EXPECT_TRUE(std::regex_match(
        log(),
        std::regex(LogLinePattern(" ||  Error: テクスチャ「data/texture/missing.png」の読み込みに失敗しました"))));
    // The subset without its texture still draws, untextured.
    g_device->BeginScene();
    r->Draw();
    g_device->EndScene();
    EXPECT_EQ(g_device->impl->counters.draws, 2u);
}

// The box and log line of a mesh that does not load are the stage loader's tests (a blank mesh name).
TEST_F(Cache, AMissingOrBrokenMeshIsNotCached) {
    WriteText("data/xfile/broken.x", "xof 0302txt 0032\nMesh { 3; 0;0;0;");
    for (const char* name : {"none.x", "broken.x"}) {
        EXPECT_FALSE(cache.LoadMesh(name));
        EXPECT_EQ(cache.Find(name), nullptr);
    }
    EXPECT_EQ(headless::messageBoxes().size(), 2u);
    EXPECT_TRUE(g_fatalError);
}

TEST_F(Cache, LoadTexturePlacesAPictureUnscaled) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_TRUE(LoadTexture(&texture, "data/texture/wood.png", 4, 8, 0));
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    // One level of 4 × 8; texel 1 is the picture's, texel 2 beyond the 2 × 2 picture.
    EXPECT_EQ(std::tuple(desc.Width, desc.Height, texture->GetLevelCount(), texture->impl->texels[0][1],
                         texture->impl->texels[0][2]),
              std::tuple(4u, 8u, 1u, 0xFF806040u, 0u));
    texture->Release();
    ASSERT_TRUE(LoadTexture(&texture, "data/texture/wood.png", 0, 0, 0));  // 0: the picture's own size
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 2u);
    texture->Release();
    EXPECT_FALSE(g_fatalError);
    // A failure's box, log line and the end of the run are the stage loader's and start-up's tests.
}

}  // namespace
