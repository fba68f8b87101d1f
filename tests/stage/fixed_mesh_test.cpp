// The fixed meshes objects draw by name: a name the stage did not load draws nothing and is reported
// once per stage load; lamps on meshes with too few materials are skipped.
#include <gtest/gtest.h>

#include <cstring>

#include "app/globals.h"
#include "resource/resource_cache.h"
#include "support/world.h"

using namespace testing_support;

namespace {

class FixedMeshTest : public World {
protected:
    int Count(const std::string& text, const std::string& what) {
        int n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    }
};

TEST_F(FixedMeshTest, AMissingFixedMeshDrawsNothingAndIsReportedOncePerStageLoad) {
    // The records name meshes of their own, and the stage never loaded the meshes the classes draw.
    Make(TYPE_GOAL, "step.x", {0, 0, 0}, {2});
    Make(TYPE_LEVER, "step.x", {0, 0, 0}, {1, 1});
    Make(TYPE_LEVER, "step.x", {9, 0, 0}, {2, 1});
    headless::recordDraws(true);
    for (int i = 0; i < 5; ++i) DrawAll();
    EXPECT_TRUE(headless::recordedDraws().empty());
    headless::recordDraws(false);
    std::string log = LogText();
    EXPECT_EQ(Count(log, " ||  Warning:メッシュ「goal.x」がステージで読み込まれていないので描画しません\r\n"), 1) << log;
    EXPECT_EQ(Count(log, "メッシュ「leveron.x」がステージで読み込まれていないので描画しません"), 1) << log;

    // The next stage load clears the objects: the same lack is reported again, once.
    ClearObjects();
    Make(TYPE_GOAL, "step.x", {0, 0, 0}, {2});
    for (int i = 0; i < 3; ++i) DrawAll();
    EXPECT_EQ(Count(LogText(), "メッシュ「goal.x」がステージで読み込まれていないので描画しません"), 2);
}

TEST_F(FixedMeshTest, LampsOnMeshesWithTooFewMaterialsAreSkipped) {
    // One material each: the door's lamp (material 1) and the elevator's (material 2) have nowhere to go.
    BoxMesh("door.x", {{{0, -16, -1}, {16, 0, 1}}});
    BoxMesh("elevator.x", {{{-12, -2, -12}, {12, 0, 12}}});
    Obj* door = Make(TYPE_DOOR, "door.x", {0, 16, 0}, {0});
    Obj* elevator = Make(TYPE_ELEVATOR, "elevator.x", {0, 0, 0}, {0, 50, 0, 1, 0});
    MeshRecord* doorRecord = g_resourceCache->Find("door.x");
    MeshRecord* elevatorRecord = g_resourceCache->Find("elevator.x");
    ASSERT_EQ(doorRecord->materialCount, 1u);
    const D3DMATERIAL9 before = doorRecord->materials[0];
    headless::recordDraws(true);
    door->Draw();
    elevator->Draw();
    EXPECT_EQ(headless::recordedDraws().size(), 5u);  // four panels and the elevator, one subset each
    headless::recordDraws(false);
    EXPECT_EQ(std::memcmp(&doorRecord->materials[0], &before, sizeof before), 0);
    EXPECT_EQ(elevatorRecord->materials[0].Diffuse.g, 0.5f);  // the box's own colour
}

}  // namespace
