// A stage built in memory for the tests of the stage objects, the player and the game scene: the
// headless device inside an open scene, the generated meshes, textures and sounds of data/ linked into a
// temporary folder, a mesh cache, a sound bank with no device whose every call is recorded, an open
// Log.txt, the player reset, the lever-state list as start-up leaves it, and frames run as the game
// scene runs them (every object, then the player). A test states only its objects and numbers.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "app/globals.h"
#include "headless/control.h"
#include "player/player_state.h"
#include "resource/resource_cache.h"
#include "stage/obj.h"
#include "support/device.h"
#include "support/stage_files.h"

namespace testing_support {

// One Play or Stop of the sound bank, with the frame it came in.
struct Sound {
    bool play;  // false: Stop
    std::string name;
    LONG volume;
    DWORD flags;
    int frame;
    bool operator==(const Sound&) const = default;
};
void PrintTo(const Sound& s, std::ostream* out);
inline Sound Played(const std::string& name, LONG volume, DWORD flags, int frame) {
    return {true, name, volume, flags, frame};
}
inline Sound Stopped(const std::string& name, int frame) { return {false, name, 0, 0, frame}; }

inline void ExpectNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float tolerance = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

// From now on every Play and Stop goes into `into`, stamped with `frame()` (the headless frame count
// unless given); null stops the recording.
void RecordSounds(std::vector<Sound>* into, std::function<int()> frame = nullptr);

class World : public DeviceTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The mesh cached (once) and an object of `typeCode` made with it through the factory.
    Obj* Make(uint16_t typeCode, const std::string& mesh, D3DXVECTOR3 position = {0, 0, 0},
              std::array<float, 5> params = {}, float yaw = 0.0f, float pitch = 0.0f);
    template <class T>
    T* MakeAs(uint16_t typeCode, const std::string& mesh, D3DXVECTOR3 position = {0, 0, 0},
              std::array<float, 5> params = {}, float yaw = 0.0f, float pitch = 0.0f) {
        return static_cast<T*>(Make(typeCode, mesh, position, params, yaw, pitch));
    }
    // Writes data/xfile/NAME with this .x text (replacing a generated mesh of that name) and caches it.
    ID3DXMesh* Mesh(const std::string& name, const std::string& x);
    ID3DXMesh* BoxMesh(const std::string& name, const std::vector<Box>& boxes) { return Mesh(name, BoxesX(boxes)); }
    // The same, with an object of `typeCode` made from it.
    Obj* Boxes(const std::string& name, const std::vector<Box>& boxes, uint16_t typeCode = TYPE_STAGE,
               D3DXVECTOR3 position = {0, 0, 0}, float yaw = 0.0f, float pitch = 0.0f);
    // A 400 × 400 floor of stage geometry whose top is at height y.
    Obj* Floor(float y = 0.0f);
    // Appends an object made outside the factory to the list.
    static void Append(Obj* obj);
    // The player reset at `eye`, as a stage start leaves it.
    static void Place(D3DXVECTOR3 eye);
    // Stage textures (8 × 8) in g_laserTexture, g_hitTexture and g_crosshairTexture.
    void StageTextures();
    // What the player draws (gun.x, sphere.x, the stage textures), a floor at 0 and the eye at (0, 12, 0).
    void ArmedPlayer();

    // Every object's Update in list order (the keys sampled first); `frame` counts it.
    void UpdateObjects(std::initializer_list<int> held = {});
    // One game frame: the keys sampled, every object, then the player; with `draw`, every object's
    // Draw and the player's.
    void Frame(std::initializer_list<int> held = {}, bool draw = false);
    void Frames(int count, std::initializer_list<int> held = {});
    void DrawAll();
    // Real relative mouse motion as the window reports it, delivered before the next frame.
    static void MoveMouse(int dx, int dy);
    // Log.txt as written so far, in UTF-8.
    static std::string LogText();

    int frame = 1;  // the frame the next update runs
    std::vector<Sound> sounds;
};

}  // namespace testing_support
