// The content checker on the generated data and on copies broken in the ways content goes wrong.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/game_run.h"
#include "tools/check/check.h"
#include "tools/content/generator.h"

namespace {

namespace fs = std::filesystem;
using content_check::Problem;

class Checker : public ::testing::Test {
protected:
    // The content the build generated (the content_check test passes it as it is); every test breaks
    // its own copy, stage files left out. Generating it afresh in each test's process took seconds.
    void SetUp() override {
        fs::create_directories(folder.path() / "game" / "data");
        for (const char* sub : {"xfile", "texture", "sound"})
            fs::copy(fs::path(QUILLMOOR_SOURCE_DIR) / "data" / sub, folder.path() / "game" / "data" / sub,
                     fs::copy_options::recursive);
    }

    std::vector<Problem> Check() { return content_check::CheckGameFolder((folder.path() / "game").string()); }
    fs::path Data(const std::string& rel) { return folder.path() / "game" / "data" / rel; }
    static std::string Lines(const std::vector<Problem>& ps) {
        std::string s;
        for (const Problem& p : ps) s += p.file + ": " + p.problem + "\n";
        return s;
    }

    testing_support::TempFolder folder;
};

// The folder named is the one checked, whatever it is called: a broken copy named data-test beside a
// sound data/ fails with its own files named, and the sound one still passes.
TEST_F(Checker, ChecksTheFolderItIsGivenWhateverItsName) {
    auto temporaries = [] {
        int n = 0;
        for (const auto& e : fs::directory_iterator(fs::temp_directory_path()))
            n += e.path().filename().string().rfind("quillmoor-check-", 0) == 0;
        return n;
    };
    const int before = temporaries();
    const fs::path broken = folder.path() / "game" / "data-test";
    fs::copy(folder.path() / "game" / "data", broken, fs::copy_options::recursive);
    // One file of each kind taken: each kind's list is checked, pictures, sounds, then meshes.
    for (const char* rel : {"sound/beep07.wav", "texture/crosshair.png", "xfile/door.x"}) fs::remove(broken / rel);
    EXPECT_EQ(Lines(content_check::CheckDataFolder(broken.string() + "/")),
              broken.string() + "/texture/crosshair.png: missing or unreadable\n" + broken.string() +
                  "/sound/beep07.wav: missing or unreadable\n" + broken.string() +
                  "/xfile/door.x: missing or unreadable\n");
    EXPECT_EQ(Lines(content_check::CheckDataFolder((folder.path() / "game" / "data").string())), "");
    // The temporary game folder it checked from is gone, and the copy is untouched but for the files taken.
    EXPECT_EQ(temporaries(), before);
    EXPECT_TRUE(fs::exists(broken / "sound/puu35.wav"));
    EXPECT_EQ(Lines(content_check::CheckDataFolder((folder.path() / "nothing").string())),
              (folder.path() / "nothing").string() + ": not a folder: nothing to check\n");
}

TEST_F(Checker, NamesPicturesOfTheWrongSizeWithoutAlphaOrDamaged) {
    const auto png = content::EncodePng(content::Canvas(640, 479, {1, 0, 0, 1}), false);
    std::ofstream(Data("texture/blood.png"), std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    std::string bytes = testing_support::ReadFile(Data("texture/title.png"));
    bytes.resize(bytes.size() / 2);
    std::ofstream(Data("texture/title.png"), std::ios::binary) << bytes;
    std::ofstream(Data("texture/white.png"), std::ios::binary) << "GIF89a";
    EXPECT_EQ(Lines(Check()),
              "data/texture/white.png: not a PNG picture\n"
              "data/texture/blood.png: 640 x 479, the game loads it as 640 x 480\n"
              "data/texture/blood.png: no alpha channel: it is drawn over the scene and must be transparent\n"
              "data/texture/title.png: damaged PNG data\n");
}

TEST_F(Checker, NamesAWaveWithoutDataFollowingTheGamesScan) {
    // A format chunk and a LIST chunk, but no "data" anywhere: the game refuses it.
    std::string w = testing_support::ReadFile(Data("sound/puu35.wav")).substr(0, 36);
    w += std::string("LIST\x04\x00\x00\x00INFO", 12);
    std::ofstream(Data("sound/puu35.wav"), std::ios::binary) << w;
    // "ddata": the game reads "dda" as a failed match and goes on after it, so it never sees this tag.
    w = testing_support::ReadFile(Data("sound/bosu05.wav"));
    std::ofstream(Data("sound/bosu05.wav"), std::ios::binary) << w.substr(0, 36) << "d" << w.substr(36, 8);
    EXPECT_EQ(Lines(Check()),
              "data/sound/puu35.wav: no \"data\" chunk: the game refuses it as not a WAVE file\n"
              "data/sound/bosu05.wav: no \"data\" chunk: the game refuses it as not a WAVE file\n");
}

TEST_F(Checker, NamesWavesTheGameWouldPlayWrongly) {
    std::string w = testing_support::ReadFile(Data("sound/mecha07.wav"));
    w[34] = 8;                                                                                  // 8-bit samples
    std::ofstream(Data("sound/mecha07.wav"), std::ios::binary) << w.substr(0, w.size() - 100);  // cut short
    const std::string lines = Lines(Check());
    EXPECT_NE(lines.find("data/sound/mecha07.wav: 8-bit samples, not 16-bit\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("data/sound/mecha07.wav: the \"data\" chunk claims "), std::string::npos) << lines;
}

TEST_F(Checker, AsksTheGamesOwnWaveLoader) {
    fs::current_path(folder.path() / "game");
    std::vector<Problem> problems;  // that it takes the good sounds is the first test's clean check
    content_check::CheckWaveWithGame("nothing.wav", problems);
    EXPECT_EQ(Lines(problems), "data/sound/nothing.wav: the game's WAVE loader refuses it\n");
    fs::current_path(folder.path());
}

void WriteMesh(const std::filesystem::path& p, const content::Mesh& m) {
    std::ofstream(p, std::ios::binary) << content::WriteX(m, nullptr);
}

content::Mesh Model(const char* name) {
    for (const auto& nm : content::Models())
        if (nm.name == name) return nm.mesh;
    return {};
}

// The model with materials a and b swapped, faces following their material.
content::Mesh Swapped(const char* name, uint32_t a, uint32_t b) {
    content::Mesh mesh = Model(name);
    std::swap(mesh.materials[a], mesh.materials[b]);
    for (uint32_t& m : mesh.triMaterial) m = m == a ? b : m == b ? a : m;
    return mesh;
}

TEST_F(Checker, KnowsEachLampByItsMaterialAndCountsTheGunsMaterials) {
    content::Mesh gun = Model("gun.x");
    gun.materials.resize(6);  // the last lamp and what follows it cut off
    for (uint32_t& m : gun.triMaterial) m = m >= 6 ? 0 : m;
    WriteMesh(Data("xfile/gun.x"), gun);
    WriteMesh(Data("xfile/door.x"), Swapped("door.x", 0, 1));          // the lamp first
    WriteMesh(Data("xfile/elevator.x"), Swapped("elevator.x", 1, 2));  // the lamp on material 1
    EXPECT_EQ(Lines(Check()),
              "data/xfile/gun.x: 6 materials; the game needs at least 7\n"
              "data/xfile/gun.x: the lamps (materials named lamp...) are materials 4, 5; the game "
              "recolours exactly 4, 5, 6\n"
              "data/xfile/door.x: the lamps (materials named lamp...) are materials 0; the game recolours exactly 1\n"
              "data/xfile/elevator.x: the lamps (materials named lamp...) are materials 1; the game recolours "
              "exactly 2\n");
}

TEST_F(Checker, NamesMeshesTheGameCannotUse) {
    // No normals: 20-byte vertices, which the objects would copy at the wrong stride.
    std::ofstream(Data("xfile/step.x"), std::ios::binary)
        << "xof 0303txt 0032\nMesh { 3; 0;0;0;, 0;0;1;, 1;0;0;; 1; 3;0,1,2;;\n"
           " MeshTextureCoords { 3; 0;0;, 0;1;, 1;0;; }\n"
           " MeshMaterialList { 1; 1; 0;; Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } } }\n";
    std::ofstream(Data("xfile/goal.x"), std::ios::binary) << "xof 0303txt 0032\nMesh { 3; 0;0;0;, 0;0;1;";
    std::ofstream(Data("xfile/stage9.x"), std::ios::binary) << "xof 0303bin 0032";  // stage meshes too
    std::string door = testing_support::ReadFile(Data("xfile/door.x"));
    door.replace(door.find("data/texture/plate.png"), 22, "data/texture/paint.png");
    std::ofstream(Data("xfile/door.x"), std::ios::binary) << door;
    EXPECT_EQ(Lines(Check()),
              "data/xfile/door.x: material 0: texture \"data/texture/paint.png\" does not load\n"
              "data/xfile/goal.x: the game's .x loader refuses it\n"
              "data/xfile/step.x: vertices of 20 bytes; the game needs 32 (position, normal, texture coordinates)\n"
              "data/xfile/stage9.x: the game's .x loader refuses it\n");
}

// The stages of a game folder go through the same check.
TEST_F(Checker, ChecksTheStagesWhenThereIsAStageListAndDemandsOneOnRequest) {
    EXPECT_EQ(Lines(content_check::CheckGameFolder((folder.path() / "game").string(), true)),
              "data/stagedata.txt: missing: the game cannot load any stage\n");
    // What each stage rule catches is the stage checker's own test; here only that it runs.
    std::ofstream(Data("stagedata.txt"), std::ios::binary) << "stage2.txt\n";
    EXPECT_EQ(Lines(Check()), "data/stagedata.txt: stage 1: \"data/stage2.txt\" does not exist (or is a folder)\n");
}

}  // namespace
