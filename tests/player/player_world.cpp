// The player's test world.
#include "player/player_world.h"

#include <windows.h>

#include <set>

#include "app/globals.h"
#include "app/input.h"
#include "player/gun.h"
#include "player/update.h"
#include "resource/resource_cache.h"
#include "support/pictures.h"
#include "support/sound_files.h"

namespace testing_support {

namespace {
std::vector<SoundCall>* s_sounds = nullptr;
void Record(const SoundCall& call) {
    if (s_sounds) s_sounds->push_back(call);
}
}  // namespace

void PlayerWorld::SetUp() {
    DeviceTest::SetUp();
    g_resourceCache = new ResourceCache();
    g_soundBank = new SoundBank();
    s_sounds = &sounds;
    g_soundCallObserver = Record;
    FillSineTable();
    g_input = InputState{};
    g_mouseDivisor = 15.0f;
    g_player = PlayerState{};
    g_player.bobStep = 1;
    ResetPlayer();
    // The game hides the cursor when a stage starts and centres it; the mouse is then captured.
    ShowCursor(FALSE);
    POINT rest{320, 240};
    ClientToScreen(g_hWnd, &rest);
    SetCursorPos(rest.x, rest.y);
}

void PlayerWorld::TearDown() {
    ClearObjects();
    g_soundCallObserver = nullptr;
    s_sounds = nullptr;
    delete g_soundBank;
    g_soundBank = nullptr;
    g_resourceCache->ReleaseAll();
    delete g_resourceCache;
    g_resourceCache = nullptr;
    DeviceTest::TearDown();
}

Obj* PlayerWorld::AddBoxes(const std::string& name, const std::vector<Box>& boxes, uint16_t typeCode,
                           D3DXVECTOR3 position, float yaw, float pitch) {
    WriteText("data/xfile/" + name, BoxesX(boxes));
    EXPECT_TRUE(g_resourceCache->LoadMesh(name));
    MeshRecord* record = g_resourceCache->Find(name);
    if (!record) return nullptr;
    const float params[5] = {0, 0, 0, 0, 0};
    Obj* obj = CreateObject(record->mesh, name, typeCode, position, yaw, pitch, params);
    EXPECT_NE(obj, nullptr) << name;
    return obj;
}

Obj* PlayerWorld::AddFloor(float y) {
    return AddBoxes("floor" + std::to_string(static_cast<int>(y)) + ".x", {{{-200, y - 10, -200}, {200, y, 200}}});
}

void PlayerWorld::PlaceAt(D3DXVECTOR3 eye) {
    g_player.startPosition = eye;
    ResetPlayer();
}

void PlayerWorld::Frame(std::initializer_list<int> held, bool draw) {
    std::set<int> down(held);
    KeyState* keys[] = {&g_input.w,     &g_input.a,         &g_input.s,         &g_input.d,
                        &g_input.e,     &g_input.left,      &g_input.right,     &g_input.space,
                        &g_input.enter, &g_input.mouseLeft, &g_input.mouseRight};
    const int codes[] = {'W', 'A', 'S', 'D', 'E', VK_LEFT, VK_RIGHT, VK_SPACE, VK_RETURN, VK_LBUTTON, VK_RBUTTON};
    for (int i = 0; i < 11; ++i) {
        keys[i]->before = keys[i]->now;
        keys[i]->now = down.count(codes[i]) ? 1 : 0;
    }
    for (Obj* obj = g_objRoot.next; obj; obj = obj->next) obj->Update();
    UpdatePlayer();
    if (draw) {
        g_device->BeginScene();
        for (Obj* obj = g_objRoot.next; obj; obj = obj->next) obj->Draw();
        DrawPlayer();
        g_device->EndScene();
    }
    ++frame;
}

void PlayerWorld::DrawOnly() {
    g_device->BeginScene();
    DrawPlayer();
    g_device->EndScene();
}

void PlayerWorld::Frames(int count, std::initializer_list<int> held) {
    for (int i = 0; i < count; ++i) Frame(held);
}

void PlayerWorld::MoveMouse(int dx, int dy) {
    headless::moveMouse(dx, dy);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the window's events reach the cursor
}

std::vector<std::string> Described(const std::vector<SoundCall>& calls, size_t from) {
    std::vector<std::string> out;
    for (size_t i = from; i < calls.size(); ++i)
        out.push_back(calls[i].name + " " + std::to_string(calls[i].volume) + " " + std::to_string(calls[i].flags));
    return out;
}

}  // namespace testing_support
