// The gates, looked at on the live game state.
#include "watch.h"

#include <cmath>
#include <cstdio>

#include "app/globals.h"
#include "app/scene_manager.h"
#include "player/player_state.h"
#include "stage/lever_states.h"
#include "stage/obj.h"
#include "stage/odoor.h"
#include "stage/stage_state.h"

namespace shortcuts {

namespace {

constexpr float kDoorHalf = 16.0f;         // the four panels make a 32 x 32 square round the door's origin
constexpr float kShutBelow = 4.0f;         // each panel slid less than this: a gap narrower than the body's 8
constexpr float kClear = 4.0f;             // the eye this far from the door's plane is on one side of it
constexpr uint16_t kFlashAfterShot = 245;  // a shot sets 255 and the same update takes 10 off

// The current scene's id; -1 without a scene manager.
int CurrentScene() {
    if (!g_sceneManager || !g_sceneManager->current) return -1;
    for (int id = SCENE_TITLE; id <= SCENE_ERROR; ++id)
        if (g_sceneManager->current == g_sceneManager->scenes[id]) return id;
    return -1;
}

Obj* ObjectNumber(int number) {
    int n = 0;
    for (Obj* o = g_objRoot.next; o; o = o->next)
        if (++n == number) return o;
    return nullptr;
}

// The eye in the door's own frame: its plane is z = 0, its square |x|, |y| <= 16.
D3DXVECTOR3 DoorLocal(const Obj& door, const D3DXVECTOR3& p) {
    const D3DXMATRIX world = door.HitMatrix();
    D3DXMATRIX inverse;
    D3DXMatrixInverse(&inverse, nullptr, &world);
    D3DXVECTOR3 local;
    D3DXVec3TransformCoord(&local, &p, &inverse);
    return local;
}

}  // namespace

std::string FormatEye(const D3DXVECTOR3& eye) {
    char text[96];
    std::snprintf(text, sizeof text, "%.4f,%.4f,%.4f", static_cast<double>(eye.x), static_cast<double>(eye.y),
                  static_cast<double>(eye.z));
    return text;
}

void Watch::Restart() {
    gameFrames = 0;
    checked = false;
    channelsOn.clear();
    ridden.clear();
    shots.clear();
    havePrevious = false;
    doorSides.clear();
}

void Watch::CheckObjects() {
    checked = true;
    int count = 0;
    for (Obj* o = g_objRoot.next; o; o = o->next) ++count;
    auto need = [&](const std::string& gate, int number, bool door) {
        if (!problem.empty()) return;
        const Obj* o = ObjectNumber(number);
        if (!o)
            problem = "gate " + gate + ": stage " + std::to_string(gates.stage) + " has " + std::to_string(count) +
                      " objects, no object " + std::to_string(number);
        else if (door && o->typeCode != TYPE_DOOR)
            problem = "gate " + gate + ": object " + std::to_string(number) + " is not a door (type " +
                      std::to_string(o->typeCode) + ")";
    };
    for (const Gate& g : gates.gates) {
        if (g.kind == Gate::Door) need(g.name, g.object, true);
        for (const Condition& c : g.conditions)
            if (c.kind == Condition::Unridden) need(g.name, c.number, false);
    }
}

bool Watch::Holds(const Condition& c) const {
    switch (c.kind) {
    case Condition::Never: return channelsOn.count(c.number) == 0;
    case Condition::Off: return !ReadLeverState(c.number);
    case Condition::On: return ReadLeverState(c.number);
    case Condition::Unshot:
        for (const D3DXVECTOR3& s : shots)
            if (c.box.Contains(s)) return false;
        return true;
    case Condition::Unridden: return ridden.count(c.number) == 0;
    case Condition::Grounded: return !g_player.airborne;
    }
    return false;
}

bool Watch::Happens(const Gate& g) const {
    switch (g.kind) {
    case Gate::Goal: return g_goalReached;
    case Gate::Enter: return g.box.Contains(eye);
    case Gate::Door: return doorPassed[&g - gates.gates.data()];
    }
    return false;
}

// A door is passed when the eye, clear of its plane on one side, crosses the plane within the square
// while the door is shut and comes out clear on the other side: an eye pressed into the bent panels
// and back again has not passed it.
void Watch::FollowDoors() {
    doorSides.resize(gates.gates.size());
    doorPassed.assign(gates.gates.size(), false);
    for (size_t i = 0; i < gates.gates.size(); ++i) {
        const Gate& g = gates.gates[i];
        const Obj* o = g.kind == Gate::Door ? ObjectNumber(g.object) : nullptr;
        if (!o || o->typeCode != TYPE_DOOR) continue;
        DoorSide& d = doorSides[i];
        const D3DXVECTOR3 now = DoorLocal(*o, eye);
        if (havePrevious) {
            const D3DXVECTOR3 before = DoorLocal(*o, previousEye);
            if ((before.z < 0.0f) != (now.z < 0.0f)) {
                const float t = before.z / (before.z - now.z);
                const float x = before.x + t * (now.x - before.x), y = before.y + t * (now.y - before.y);
                d.through = std::fabs(x) <= kDoorHalf && std::fabs(y) <= kDoorHalf &&
                            static_cast<const ODoor*>(o)->openAmount < kShutBelow;
            }
        }
        if (std::fabs(now.z) >= kClear) {
            const int side = now.z > 0.0f ? 1 : -1;
            doorPassed[i] = d.side != 0 && side != d.side && d.through;
            d.side = side;
            d.through = false;
        }
    }
}

std::vector<Met> Watch::Observe(int frame) { return Observe(frame, CurrentScene()); }

std::vector<Met> Watch::Observe(int frame, int scene) {
    std::vector<Met> now;
    playing = false;
    if (scene == SCENE_LOAD) {
        stageInPlay = g_stageIndex;
        Restart();
        return now;
    }
    if (scene != SCENE_GAME || stageInPlay != gates.stage) return now;
    ++gameFrames;
    if (!checked) CheckObjects();
    const PlayerState& p = g_player;
    playing = !p.dead && p.health > 0.0f;
    eye = p.position;
    // The levers first write their channels in the stage's first update: until then the list holds what
    // the last play left there.
    if (gameFrames > 1)
        for (size_t c = 0; c < g_leverStates.size(); ++c)
            if (ReadLeverState(static_cast<int>(c))) channelsOn.insert(static_cast<int>(c));
    int number = 0;
    for (Obj* o = g_objRoot.next; o; o = o->next) {
        ++number;
        if (o->playerOnTop) ridden.insert(number);
    }
    // A shot that hit something put slot 3's centre where it landed; a miss leaves it equal to slot 2's.
    if (playing && p.shotFlash == kFlashAfterShot && p.bulgeActive[3] && p.bulgeCenter[3] != p.bulgeCenter[2])
        shots.push_back(p.bulgeCenter[3]);
    FollowDoors();
    if (playing && problem.empty()) {
        for (size_t i = 0; i < gates.gates.size(); ++i) {
            const Gate& g = gates.gates[i];
            if (metGates.count(static_cast<int>(i)) || !Happens(g)) continue;
            bool all = true;
            for (const Condition& c : g.conditions) all = all && Holds(c);
            if (!all) continue;
            metGates.insert(static_cast<int>(i));
            now.push_back(Met{static_cast<int>(i), frame, eye});
            met.push_back(now.back());
        }
    }
    previousEye = eye;
    havePrevious = true;
    return now;
}

}  // namespace shortcuts
