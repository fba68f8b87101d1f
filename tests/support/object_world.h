// A small world for tests of the stage objects: a headless device, the generated meshes of data/xfile
// in the mesh cache, a sound bank whose every call is recorded with its frame, an open Log.txt, the
// player reset and the lever-state list as start-up leaves it.
#pragma once

#include <windows.h>

#include <array>
#include <initializer_list>
#include <string>
#include <vector>

#include "stage/obj.h"
#include "support/device.h"

namespace testing_support {

struct RecordedSound {
    bool play;  // false: Stop
    std::string name;
    LONG volume;
    DWORD flags;
    int frame;
    bool operator==(const RecordedSound&) const = default;
};
std::ostream& operator<<(std::ostream& out, const RecordedSound& s);

class ObjectWorldTest : public DeviceTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the mesh into the cache (once) and creates the object through the factory.
    Obj* Make(uint16_t typeCode, const std::string& meshName, D3DXVECTOR3 position, std::array<float, 5> params = {},
              float yaw = 0.0f, float pitch = 0.0f);
    // Loads meshes into the cache as a stage's mesh list would.
    void Load(std::initializer_list<const char*> names);
    // One frame of the game's object pass: every Update in list order; then `frame` counts it.
    void UpdateAll();
    void DrawAll();
    // The E key as the frame's sample sees it (down now; `before` is the previous sample).
    void SampleE(bool down);
    // Log.txt as written so far, in UTF-8.
    std::string LogText();
    // Writes a box mesh (one material) into data/xfile/ of the test folder.
    void WriteBox(const std::string& name, D3DXVECTOR3 lo, D3DXVECTOR3 hi);

    int frame = 1;  // the frame the next UpdateAll runs
    std::vector<RecordedSound> sounds;
    static ObjectWorldTest* current;
};

}  // namespace testing_support
