// The stage load: which line and file it reads, what it creates, and every way it can fail, with the
// boxes and log lines the player sees.
#include "scene/load.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <tuple>

#include "app/fade.h"
#include "app/globals.h"
#include "app/scene_manager.h"
#include "diag/log.h"
#include "player/player_state.h"
#include "resource/resource_cache.h"
#include "stage/obj.h"
#include "stage/ostage.h"
#include "stage/stage_file.h"
#include "stage/stage_state.h"
#include "support/device.h"
#include "support/stage_files.h"
#include "support/start_content.h"

using namespace testing_support;

namespace {

// The type codes of the objects in list order.
std::vector<uint16_t> Types() {
    std::vector<uint16_t> out;
    for (Obj* o = g_objRoot.next; o; o = o->next) out.push_back(o->typeCode);
    return out;
}

class StageLoad : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        WriteSmallStage();
        g_resourceCache = &cache;
        g_log.open("Log.txt");
    }
    void TearDown() override {
        ClearObjects();
        for (IDirect3DTexture9** t : {&g_laserTexture, &g_hitTexture, &g_crosshairTexture})
            if (*t) (*t)->Release(), *t = nullptr;
        cache.ReleaseAll();
        g_resourceCache = nullptr;
        g_log.close();
        DeviceTest::TearDown();
    }
    SceneId Load(int index = 1) {
        g_stageIndex = index;
        return scene.Update();
    }
    // The whole log, which must be exactly these lines (UTF-8 messages, each with its timestamp).
    void ExpectLog(const std::vector<std::string>& messages) {
        g_log.flush();
        std::string pattern;
        for (const std::string& m : messages) pattern += LogLinePattern(m);
        EXPECT_TRUE(std::regex_match(ReadFile("Log.txt"), std::regex(pattern))) << Cp932ToUtf8(ReadFile("Log.txt"));
    }
    void ExpectOneBox(const std::string& text, const std::string& title) {
        ASSERT_EQ(headless::messageBoxes().size(), 1u);
        const auto& box = headless::messageBoxes()[0];
        EXPECT_EQ(std::tie(box.text, box.title, box.flags), std::make_tuple(text, title, unsigned{MB_OK}));
    }
    ResourceCache cache;
    SLoad scene;
};

}  // namespace

TEST_F(StageLoad, LoadsTheStageResetsThePlayerAndHandsOverToTheGame) {
    cache.LoadMesh("title.x");
    g_fadeLevel = 255;
    g_goalReached = true;
    g_player.health = 3.0f;
    g_player.dead = true;
    g_player.landingDip = 7.0f;
    g_player.bulgeRadius[2] = 30.0f;
    g_player.startPosition = D3DXVECTOR3(9, 9, 9);
    g_player.yaw = 30.0f;  // as the last stage's mouse left it
    g_player.pitch = -20.0f;

    ASSERT_EQ(Load(), SCENE_GAME);
    ASSERT_EQ(Types(), (std::vector<uint16_t>{TYPE_STAGE, TYPE_PLAYER_BODY}));
    EXPECT_EQ(static_cast<OStage*>(g_objRoot.next)->meshName, "floor.x");
    EXPECT_EQ(g_objRoot.next->mesh, cache.Find("floor.x")->mesh);
    // The player starts where the file says, whole and upright; the landing dip is not part of the reset.
    const PlayerState& p = g_player;
    EXPECT_EQ(p.position, D3DXVECTOR3(0, 12, -40));
    EXPECT_EQ(p.startPosition, p.position);
    EXPECT_EQ(std::tie(p.health, p.yaw, p.pitch, p.dead, p.bulgeRadius[2], p.landingDip),
              std::make_tuple(255.0f, 0.0f, 0.0f, false, 1.0f, 7.0f));
    EXPECT_EQ(std::tie(g_fadeLevel, g_goalReached, g_fatalError), std::make_tuple(0, false, false));
    // The cache holds this stage's meshes and the two the player draws; the title's went.
    EXPECT_EQ(cache.Find("title.x"), nullptr);
    for (const char* name : {"floor.x", "plycol.x", "gun.x", "sphere.x"}) EXPECT_NE(cache.Find(name), nullptr) << name;
    EXPECT_TRUE(g_laserTexture && g_hitTexture && g_crosshairTexture);
    // The cursor sits on the client point (320, 240).
    POINT centre = {320, 240}, cursor = {0, 0};
    ClientToScreen(g_hWnd, &centre);
    ShowCursor(FALSE);  // the game's own cursor, not the desktop pointer
    GetCursorPos(&cursor);
    ShowCursor(TRUE);
    EXPECT_EQ(std::pair(cursor.x, cursor.y), std::pair(centre.x, centre.y));
    EXPECT_TRUE(headless::messageBoxes().empty());
    ExpectLog({});

    // A second load starts from nothing: the old objects are gone, not added to.
    ASSERT_EQ(Load(), SCENE_GAME);
    EXPECT_EQ(Types().size(), 2u);
    EXPECT_EQ(g_objRoot.next->prev, &g_objRoot);
}

TEST_F(StageLoad, NoStageListEndsTheRunWithTheListBox) {
    std::filesystem::remove("data/stagedata.txt");
    EXPECT_EQ(Load(), SCENE_TITLE);
    ExpectOneBox("ファイル「stagedata.txt」が読み込めませんでした\n", "エラー");
    ExpectLog({" ||  Error:「stagedate.txt」の読み込みに失敗しました"});
    EXPECT_TRUE(g_fatalError);
    EXPECT_EQ(g_laserTexture, nullptr);
}

TEST_F(StageLoad, AStageFileNameOutsideAsciiReachesTheLogAsTheListSpellsIt) {
    // "ステージ.txt" in code page 932, as a stage list written on the game's home system holds it.
    const std::string name =
        "\x83X\x83"
        "e\x81[\x83W.txt";
    WriteStageList(name + "\n");
    EXPECT_EQ(Load(), SCENE_TITLE);
    EXPECT_TRUE(g_fatalError);
    g_log.flush();
    const std::string line =
        Utf8ToCp932(" ||  Error:「") + "data/" + name + Utf8ToCp932("」の読み込みに失敗しました") + "\r\n";
    const std::string log = ReadFile("Log.txt");
    EXPECT_NE(log.find(line), std::string::npos) << Cp932ToUtf8(log);
}

// A stage file that cannot be used ends the run from the load, naming the exact path: nothing is made,
// and the meshes the file named before it ended stay loaded (but not the player's).
struct Unusable {
    const char* name;
    std::string list, stage;  // empty: as the small stage has it
    int index;
    const char* path;
};
class UnusableStage : public StageLoad, public testing::WithParamInterface<Unusable> {};
TEST_P(UnusableStage, EndsTheRunWithTheFilesBox) {
    const Unusable& c = GetParam();
    if (!c.list.empty()) WriteStageList(c.list);
    if (!c.stage.empty()) WriteStageFile("stage1.txt", c.stage);
    EXPECT_EQ(Load(c.index), SCENE_TITLE);
    ExpectOneBox(std::string("ファイル「") + c.path + "」が読み込めませんでした", "エラー");
    ExpectLog({std::string(" ||  Error:「") + c.path + "」の読み込みに失敗しました"});
    EXPECT_TRUE(g_fatalError);
    EXPECT_EQ(g_objRoot.next, nullptr);
    EXPECT_EQ(g_laserTexture, nullptr);
    EXPECT_EQ(cache.Find("gun.x"), nullptr);
    EXPECT_EQ(cache.Find("floor.x") != nullptr, c.stage.find("floor") != std::string::npos);
}
const Unusable kUnusable[] = {
    {"MissingWithABlankThatBelongsToTheName", " stage1.txt\n", "", 1, "data/ stage1.txt"},
    {"TooFewListLinesNameTheDataFolder", "", "", 3, "data/"},
    {"EndingBeforeTheStartPosition", "", "0,12,-40,\n", 1, "data/stage1.txt"},
    {"EndingInsideTheMeshList", "", "0,12,-40,\n:\nfloor.x\n", 1, "data/stage1.txt"},
    // "stage1.txt" exists; a list line that is "stage1.txt", a NUL and more must not load it.
    {"ANameNoFileCanHave", std::string("stage1.txt\0.bak\n", 16), "", 1, "data/stage1.txt"},
};
INSTANTIATE_TEST_SUITE_P(Files, UnusableStage, testing::ValuesIn(kUnusable),
                         [](const testing::TestParamInfo<Unusable>& info) { return std::string(info.param.name); });

TEST_F(StageLoad, ANameBeforeTheClosingColonIsNotLoaded) {
    WriteStageFile("stage1.txt", "0,0,0,\n:\nfloor.x\nplycol.x:\nfloor.x,1\nplycol.x,10\nfloor.x,1,5\n");
    ASSERT_EQ(Load(), SCENE_GAME);
    EXPECT_EQ(cache.Find("plycol.x"), nullptr);
    ASSERT_EQ(Types().size(), 2u);
    EXPECT_EQ(g_objRoot.next->next->position, D3DXVECTOR3(5, 0, 0));
    ExpectLog({" ||  Warning:メッシュ「plycol.x」が読み込まれていません"});
    EXPECT_EQ(std::pair(g_fatalError, headless::messageBoxes().size()), std::pair(false, size_t{0}));
}

// A mesh line no mesh can come from, blank or over 100 KiB (kept to the longest name), is reported as the
// cache reports a mesh that does not load: the load finishes, no object is made, the run ends after this
// frame. The long one's first 1024 bytes name floor.x (the slashes run together): never loaded instead.
class BadMeshLine : public StageLoad, public testing::WithParamInterface<size_t> {};
TEST_P(BadMeshLine, FailsTheLoadAndNoObjectIsMade) {
    const std::string name = GetParam() ? std::string(1017, '/') + "floor.x" + std::string(GetParam(), 'm') : "";
    const std::string path = "data/xfile/" + name.substr(0, kMaxNameLength);
    WriteStageFile("stage1.txt", "0,0,0,\n:\nfloor.x\n" + name + "\n:\nfloor.x,1\n");
    g_fadeLevel = 200;
    EXPECT_EQ(Load(), SCENE_GAME);
    ExpectOneBox(path + "の読み込みに失敗しました", "Error");
    ExpectLog({" ||  Error: メッシュ「" + path + "」の読み込みに失敗しました"});
    EXPECT_EQ(std::tie(g_fatalError, g_objRoot.next, g_fadeLevel), std::make_tuple(true, nullptr, 0));
    EXPECT_TRUE(cache.Find("gun.x") && g_crosshairTexture);
}
INSTANTIATE_TEST_SUITE_P(Lengths, BadMeshLine, testing::Values(0, 100 * 1024));

TEST_F(StageLoad, RecordsNamingOneMeshShareItAndAMeshListedTwiceLoadsOnce) {
    WriteStageFile("stage1.txt", "0,0,0,\n:\nfloor.x\nfloor.x\n:\nfloor.x,1,0,0,0,0,0\nfloor.x,1,0,5,0,90,0\n");
    ASSERT_EQ(Load(), SCENE_GAME);
    ASSERT_EQ(Types().size(), 2u);
    EXPECT_EQ(g_objRoot.next->mesh, g_objRoot.next->next->mesh);
    EXPECT_EQ(g_objRoot.next->next->yaw, 90.0f);
    ExpectLog({});
}

TEST_F(StageLoad, RecordsThatCannotBeMadeAreSkippedWithOneWarningEach) {
    WriteMesh("thin.x", SmallMeshX(1));  // 12-byte vertices
    WriteStageFile("stage1.txt",
                   "0,0,0,\n:\nfloor.x\nthin.x\n:\n"
                   "floor.x,5\n"
                   "missing.x,1\n"
                   "\n"
                   "thin.x,1\n"
                   "floor.x,8\n"
                   "floor.x,1\n");
    ASSERT_EQ(Load(), SCENE_GAME);
    EXPECT_EQ(Types(), std::vector<uint16_t>{TYPE_STAGE});
    ExpectLog({" ||  Warning:種類5のオブジェクトはありません(floor.x)",
               " ||  Warning:メッシュ「missing.x」が読み込まれていません",
               " ||  Warning:メッシュ「」が読み込まれていません",
               " ||  Warning:メッシュ「thin.x」の頂点が32バイトではありません",
               " ||  Warning:種類8のオブジェクトはありません(floor.x)"});
    EXPECT_EQ(std::pair(g_fatalError, headless::messageBoxes().size()), std::pair(false, size_t{0}));
}

// The textures load in the order laser, sparkle, crosshair, and the first that fails ends the load: with
// any two of them missing, the box names the earlier, and what did load is not left behind.
struct Missing {
    const char* first;
    const char* second;
};
class TextureOrder : public StageLoad, public testing::WithParamInterface<Missing> {};
TEST_P(TextureOrder, TheFirstMissingTextureSendsTheRunToTheErrorScreen) {
    const std::string named = std::string("data/texture/") + GetParam().first;
    std::filesystem::remove(named);
    std::filesystem::remove(std::string("data/texture/") + GetParam().second);
    EXPECT_EQ(Load(), SCENE_ERROR);
    EXPECT_TRUE(g_fatalError);
    ExpectOneBox(named + "の読み込みに失敗しました", "Error");
    ExpectLog({" ||  Error: テクスチャ「" + named + "」の読み込みに失敗しました"});
    EXPECT_TRUE(!g_laserTexture && !g_hitTexture && !g_crosshairTexture);
    EXPECT_EQ(g_objRoot.next, nullptr);  // the records are never read
}
INSTANTIATE_TEST_SUITE_P(Pairs, TextureOrder,
                         testing::Values(Missing{"laser.png", "efe_hit.png"}, Missing{"efe_hit.png", "crosshair.png"},
                                         Missing{"laser.png", "crosshair.png"}));
