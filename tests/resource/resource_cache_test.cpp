// The mesh cache and the texture loader: load once per name, release, materials, and every failure's
// message box and log line.
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
    EXPECT_EQ(cache.Find("gun.x"), nullptr);
    // Names differing in case are different records.
    ASSERT_TRUE(cache.LoadMesh("Door.x"));
    MeshRecord* other = cache.Find("Door.x");
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, first);
    EXPECT_NE(other->mesh, first->mesh);
    EXPECT_EQ(cache.Find("DOOR.x"), nullptr);

    cache.ReleaseAll();
    EXPECT_EQ(cache.Find("door.x"), nullptr);
    WriteText("data/xfile/door.x", twoMaterialMesh(""));
    EXPECT_TRUE(cache.LoadMesh("door.x"));
    EXPECT_NE(cache.Find("door.x"), nullptr);
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
    EXPECT_EQ(r->materials[0].Diffuse.a, 0.8f);
    EXPECT_EQ(r->materials[0].Power, 5.0f);
    EXPECT_NE(r->textures[0], nullptr);
    EXPECT_EQ(r->textures[1], nullptr);  // no texture named: none, and no message
    EXPECT_EQ(r->mesh->GetNumBytesPerVertex(), 32u);

    // Drawing sets each subset's material and texture before its draw; the last ones stay set.
    headless::recordDraws(true);
    g_device->BeginScene();
    r->Draw();
    g_device->EndScene();
    const auto& draws = headless::recordedDraws();
    ASSERT_EQ(draws.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(draws[i].state.material.Diffuse.r, r->materials[i].Diffuse.r);
        EXPECT_EQ(draws[i].state.textures[0], r->textures[i]);
        EXPECT_EQ(draws[i].primitiveCount, 1u);
    }
    EXPECT_EQ(g_device->impl->state.textures[0], nullptr);
    EXPECT_EQ(g_device->impl->state.material.Diffuse.r, 1.0f);
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
    EXPECT_EQ(headless::messageBoxes()[0].title, "Error");
    EXPECT_EQ(headless::messageBoxes()[0].flags, MB_OK);
    EXPECT_TRUE(std::regex_match(
        log(),
        std::regex(LogLinePattern(" ||  Error: テクスチャ「data/texture/missing.png」の読み込みに失敗しました"))));
    // The subset without its texture still draws, untextured.
    g_device->BeginScene();
    r->Draw();
    g_device->EndScene();
    EXPECT_EQ(g_device->impl->counters.draws, 2u);
}

TEST_F(Cache, AMissingBrokenOrFolderMeshIsReportedAndNotCached) {
    WriteText("data/xfile/broken.x", "xof 0302txt 0032\nMesh { 3; 0;0;0;");
    std::filesystem::create_directories("data/xfile/folder.x");
    std::string expected;
    const std::string names[] = {"none", "broken", "folder"};  // a folder is a file that cannot be opened
    for (size_t i = 0; i < 3; ++i) {
        const std::string file = "data/xfile/" + names[i] + ".x";
        EXPECT_FALSE(cache.LoadMesh(names[i] + ".x"));
        EXPECT_EQ(cache.Find(names[i] + ".x"), nullptr);
        ASSERT_EQ(headless::messageBoxes().size(), i + 1);
        EXPECT_EQ(headless::messageBoxes()[i].text, file + "の読み込みに失敗しました");
        EXPECT_EQ(headless::messageBoxes()[i].title, "Error");
        expected += LogLinePattern(" ||  Error: メッシュ「" + file + "」の読み込みに失敗しました");
    }
    EXPECT_TRUE(g_fatalError);
    EXPECT_TRUE(std::regex_match(log(), std::regex(expected))) << log();
}

TEST_F(Cache, LoadTextureReportsAFailureAndPlacesAPictureUnscaled) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_TRUE(LoadTexture(&texture, "data/texture/wood.png", 4, 8, 0));
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 4u);
    EXPECT_EQ(desc.Height, 8u);
    EXPECT_EQ(texture->GetLevelCount(), 1u);
    EXPECT_EQ(texture->impl->texels[0][1], 0xFF806040u);
    EXPECT_EQ(texture->impl->texels[0][2], 0u);  // beyond the 2 × 2 picture
    texture->Release();
    ASSERT_TRUE(LoadTexture(&texture, "data/texture/wood.png", 0, 0, 0));  // 0: the picture's own size
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 2u);
    texture->Release();
    EXPECT_FALSE(g_fatalError);

    texture = nullptr;
    std::filesystem::create_directories("data/texture/title.png");  // a folder named like a picture
    EXPECT_FALSE(LoadTexture(&texture, "data/texture/title.png", 512, 128, 0));
    EXPECT_EQ(texture, nullptr);
    EXPECT_TRUE(g_fatalError);
    ASSERT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_EQ(headless::messageBoxes()[0].text, "data/texture/title.pngの読み込みに失敗しました");
    EXPECT_EQ(headless::messageBoxes()[0].title, "Error");
    EXPECT_EQ(headless::messageBoxes()[0].flags, MB_OK);
    EXPECT_TRUE(std::regex_match(
        log(), std::regex(LogLinePattern(" ||  Error: テクスチャ「data/texture/title.png」の読み込みに失敗しました"))));
}

}  // namespace
