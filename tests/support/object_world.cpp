// The object-test world.
#include "support/object_world.h"

#include <filesystem>
#include <ostream>

#include "app/globals.h"
#include "app/input.h"
#include "diag/log.h"
#include "player/player_state.h"
#include "resource/resource_cache.h"
#include "sound/sound_bank.h"
#include "stage/stage_state.h"
#include "support/game_run.h"
#include "support/sound_files.h"
#include "tools/content/mesh.h"

namespace testing_support {

ObjectWorldTest* ObjectWorldTest::current = nullptr;

std::ostream& operator<<(std::ostream& out, const RecordedSound& s) {
    return out << (s.play ? "Play(" : "Stop(") << s.name << ", " << s.volume << ", " << s.flags << ") at " << s.frame;
}

void ObjectWorldTest::SetUp() {
    DeviceTest::SetUp();
    namespace fs = std::filesystem;
    // The generated content, reached through links; data/xfile is a folder of its own so that tests
    // can add meshes beside the generated ones.
    const fs::path source = fs::path(QUILLMOOR_SOURCE_DIR) / "data";
    ASSERT_TRUE(fs::exists(source / "xfile" / "door.x")) << "build the content target first";
    fs::create_directories("data/xfile");
    for (const auto& entry : fs::directory_iterator(source / "xfile"))
        fs::create_symlink(entry.path(), fs::path("data/xfile") / entry.path().filename());
    fs::create_directory_symlink(source / "texture", "data/texture");
    fs::create_directory_symlink(source / "sound", "data/sound");

    g_log.open("Log.txt");
    g_resourceCache = new ResourceCache();
    g_soundBank = new SoundBank();  // no device: every call is seen by the observer and goes no further
    current = this;
    g_soundCallObserver = [](const SoundCall& call) {
        current->sounds.push_back({call.play, call.name, call.volume, call.flags, current->frame});
    };
    g_player = PlayerState{};
    ResetPlayer();
    g_leverStates.assign(1, true);
    g_goalReached = false;
    g_device->BeginScene();  // the objects' draws are made inside the frame's scene
}

void ObjectWorldTest::Load(std::initializer_list<const char*> names) {
    for (const char* name : names) EXPECT_TRUE(g_resourceCache->LoadMesh(name)) << name;
}

void ObjectWorldTest::TearDown() {
    g_device->EndScene();
    ClearObjects();
    g_soundCallObserver = nullptr;
    current = nullptr;
    delete g_soundBank;
    g_soundBank = nullptr;
    g_resourceCache->ReleaseAll();
    delete g_resourceCache;
    g_resourceCache = nullptr;
    g_log.close();
    g_leverStates.clear();
    DeviceTest::TearDown();
}

Obj* ObjectWorldTest::Make(uint16_t typeCode, const std::string& meshName, D3DXVECTOR3 position,
                           std::array<float, 5> params, float yaw, float pitch) {
    EXPECT_TRUE(g_resourceCache->LoadMesh(meshName)) << meshName;
    MeshRecord* record = g_resourceCache->Find(meshName);
    Obj* obj = CreateObject(record ? record->mesh : nullptr, meshName, typeCode, position, yaw, pitch, params.data());
    EXPECT_NE(obj, nullptr) << meshName;
    return obj;
}

void ObjectWorldTest::UpdateAll() {
    for (Obj* o = g_objRoot.next; o; o = o->next) o->Update();
    ++frame;
}

void ObjectWorldTest::DrawAll() {
    for (Obj* o = g_objRoot.next; o; o = o->next) o->Draw();
}

void ObjectWorldTest::SampleE(bool down) {
    g_input.e.before = g_input.e.now;
    g_input.e.now = down ? 1 : 0;
}

std::string ObjectWorldTest::LogText() { return Cp932ToUtf8(ReadFile("Log.txt")); }

void ObjectWorldTest::WriteBox(const std::string& name, D3DXVECTOR3 lo, D3DXVECTOR3 hi) {
    content::Mesh m;
    int material = m.AddMaterial(content::Colour(0.5f, 0.5f, 0.5f));
    m.Box(content::Frame::At(0, 0, 0), {lo.x, lo.y, lo.z}, {hi.x, hi.y, hi.z}, material);
    std::string error;
    std::string text = content::WriteX(m, &error);
    ASSERT_TRUE(error.empty()) << error;
    // Replaces a link to a generated mesh without writing through it.
    const std::filesystem::path path = std::filesystem::path("data/xfile") / name;
    std::filesystem::remove(path);
    WriteBytes(path, text);
}

}  // namespace testing_support
