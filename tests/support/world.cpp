// The in-memory stage of the object, player and game-scene tests, and the one sound recorder.
#include "support/world.h"

#include <filesystem>
#include <set>

#include "app/globals.h"
#include "app/input.h"
#include "diag/log.h"
#include "headless/control.h"
#include "player/gun.h"
#include "player/update.h"
#include "resource/resource_cache.h"
#include "sound/sound_bank.h"
#include "stage/stage_state.h"
#include "support/game_run.h"

namespace testing_support {

void PrintTo(const Sound& s, std::ostream* out) {
    *out << (s.play ? "Play(" : "Stop(") << s.name << ", " << s.volume << ", " << s.flags << ") at " << s.frame;
}

namespace {
std::vector<Sound>* s_into = nullptr;
std::function<int()> s_frame;
}  // namespace

void RecordSounds(std::vector<Sound>* into, std::function<int()> frame) {
    s_into = into;
    s_frame = frame ? std::move(frame) : [] { return headless::frameCount(); };
    g_soundCallObserver = nullptr;
    if (into)
        g_soundCallObserver = [](const SoundCall& c) {
            s_into->push_back({c.play, c.name, c.play ? c.volume : 0, c.play ? c.flags : 0, s_frame()});
        };
}

namespace {
// The keys of g_input sampled as the frame's sample takes them: those listed (virtual-key codes) down.
void SampleKeys(std::initializer_list<int> held) {
    const std::set<int> down(held);
    const std::pair<KeyState*, int> keys[] = {
        {&g_input.w, 'W'},         {&g_input.a, 'A'},          {&g_input.s, 'S'},           {&g_input.d, 'D'},
        {&g_input.e, 'E'},         {&g_input.left, VK_LEFT},   {&g_input.right, VK_RIGHT},  {&g_input.space, VK_SPACE},
        {&g_input.enter, VK_RETURN}, {&g_input.mouseLeft, VK_LBUTTON}, {&g_input.mouseRight, VK_RBUTTON}};
    for (auto [key, code] : keys) {
        key->before = key->now;
        key->now = down.count(code) ? 1 : 0;
    }
}
}  // namespace

void World::SetUp() {
    DeviceTest::SetUp();
    namespace fs = std::filesystem;
    // The generated content through links; data/xfile is a folder of its own so that a test can put
    // meshes of its own beside (or instead of) the generated ones.
    const fs::path source = fs::path(QUILLMOOR_SOURCE_DIR) / "data";
    ASSERT_TRUE(fs::exists(source / "xfile" / "door.x")) << "build the content target first";
    fs::create_directories("data/xfile");
    for (const auto& entry : fs::directory_iterator(source / "xfile"))
        fs::create_symlink(entry.path(), fs::path("data/xfile") / entry.path().filename());
    fs::create_directory_symlink(source / "texture", "data/texture");
    fs::create_directory_symlink(source / "sound", "data/sound");

    g_log.open("Log.txt");
    g_resourceCache = new ResourceCache();
    g_soundBank = new SoundBank();  // no device: every call is recorded and goes no further
    RecordSounds(&sounds, [this] { return frame; });
    FillSineTable();
    g_player.bobStep = 1;
    g_leverStates.assign(1, true);
    // A stage starts with the cursor hidden and centred: the mouse is captured.
    ShowCursor(FALSE);
    POINT rest{320, 240};
    ClientToScreen(g_hWnd, &rest);
    SetCursorPos(rest.x, rest.y);
    g_device->BeginScene();  // every draw of a test is inside the frame's scene
}

void World::TearDown() {
    g_device->EndScene();
    ClearObjects();
    RecordSounds(nullptr);
    delete g_soundBank;
    g_soundBank = nullptr;
    g_resourceCache->ReleaseAll();
    delete g_resourceCache;
    g_resourceCache = nullptr;
    for (IDirect3DTexture9** t : {&g_laserTexture, &g_hitTexture, &g_crosshairTexture}) {
        if (*t) (*t)->Release();
        *t = nullptr;
    }
    g_log.close();
    g_leverStates.clear();
    DeviceTest::TearDown();
}

Obj* World::Make(uint16_t typeCode, const std::string& mesh, D3DXVECTOR3 position, std::array<float, 5> params,
                 float yaw, float pitch) {
    EXPECT_TRUE(g_resourceCache->LoadMesh(mesh)) << mesh;
    MeshRecord* record = g_resourceCache->Find(mesh);
    Obj* obj = CreateObject(record ? record->mesh : nullptr, mesh, typeCode, position, yaw, pitch, params.data());
    EXPECT_NE(obj, nullptr) << mesh;
    return obj;
}

ID3DXMesh* World::Mesh(const std::string& name, const std::string& x) {
    std::filesystem::remove(std::filesystem::path("data/xfile") / name);  // a link goes, the mesh it names stays
    WriteMesh(name, x);
    EXPECT_TRUE(g_resourceCache->LoadMesh(name)) << name;
    MeshRecord* record = g_resourceCache->Find(name);
    return record ? record->mesh : nullptr;
}

Obj* World::Boxes(const std::string& name, const std::vector<Box>& boxes, uint16_t typeCode, D3DXVECTOR3 position,
                  float yaw, float pitch) {
    BoxMesh(name, boxes);
    return Make(typeCode, name, position, {}, yaw, pitch);
}

Obj* World::Floor(float y) {
    return Boxes("floor" + std::to_string(static_cast<int>(y)) + ".x", {{{-200, y - 10, -200}, {200, y, 200}}});
}

void World::Append(Obj* obj) {
    Obj* tail = &g_objRoot;
    while (tail->next) tail = tail->next;
    tail->next = obj;
    obj->prev = tail;
}

void World::Place(D3DXVECTOR3 eye) {
    g_player.startPosition = eye;
    ResetPlayer();
}

void World::StageTextures() {
    for (IDirect3DTexture9** t : {&g_laserTexture, &g_hitTexture, &g_crosshairTexture})
        ASSERT_EQ(g_device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, t, nullptr), D3D_OK);
}

void World::ArmedPlayer() {
    ASSERT_TRUE(g_resourceCache->LoadMesh("gun.x"));
    ASSERT_TRUE(g_resourceCache->LoadMesh("sphere.x"));
    StageTextures();
    Floor();
    Place({0, 12, 0});
}

void World::UpdateObjects(std::initializer_list<int> held) {
    SampleKeys(held);
    for (Obj* o = g_objRoot.next; o; o = o->next) o->Update();
    ++frame;
}

void World::Frame(std::initializer_list<int> held, bool draw) {
    SampleKeys(held);
    for (Obj* o = g_objRoot.next; o; o = o->next) o->Update();
    UpdatePlayer();
    if (draw) {
        DrawAll();
        DrawPlayer();
    }
    ++frame;
}

void World::Frames(int count, std::initializer_list<int> held) {
    for (int i = 0; i < count; ++i) Frame(held);
}

void World::DrawAll() {
    for (Obj* o = g_objRoot.next; o; o = o->next) o->Draw();
}

void World::MoveMouse(int dx, int dy) {
    headless::moveMouse(dx, dy);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the window's events reach the cursor
}

std::string World::LogText() { return Cp932ToUtf8(ReadFile("Log.txt")); }

}  // namespace testing_support
