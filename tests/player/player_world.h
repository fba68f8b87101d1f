// A small world for the player's tests: the headless device, a resource cache, a sound bank that only
// records what it is asked to play, the object list built from boxes, and frames run one by one with
// chosen keys held, as the game scene runs them.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "player/player_state.h"
#include "sound/sound_bank.h"
#include "stage/obj.h"
#include "support/box_mesh.h"
#include "support/device.h"

namespace testing_support {

class PlayerWorld : public DeviceTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the boxes as data/xfile/<name>, caches the mesh and appends an object of `typeCode` with it.
    Obj* AddBoxes(const std::string& name, const std::vector<Box>& boxes, uint16_t typeCode = TYPE_STAGE,
                  D3DXVECTOR3 position = {0, 0, 0}, float yaw = 0.0f, float pitch = 0.0f);
    // A 400 × 400 floor whose top is at height y, as stage geometry.
    Obj* AddFloor(float y = 0.0f);

    // The player put at `eye` with a fresh reset; the bob as it is after the first step of any walk.
    void PlaceAt(D3DXVECTOR3 eye);

    // One game frame: the keys (virtual-key codes) are sampled as held, every object updates, then the
    // player. Draws the objects and the player when `draw` is set.
    void Frame(std::initializer_list<int> held = {}, bool draw = false);
    // The player's draw alone, inside a scene.
    void DrawOnly();
    void Frames(int count, std::initializer_list<int> held = {});

    // Real relative mouse motion as the window reports it, delivered before the next frame.
    void MoveMouse(int dx, int dy);

    std::vector<SoundCall> sounds;
    int frame = 0;
};

// The sound calls made since `from`, as "name volume flags" strings.
std::vector<std::string> Described(const std::vector<SoundCall>& calls, size_t from = 0);

}  // namespace testing_support
