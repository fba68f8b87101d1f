// The search's random player.
#include "explorer.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

#include "app/globals.h"
#include "player/player_state.h"
#include "stage/obj.h"

namespace shortcuts {

namespace {

enum PlanKind { Walk, Turn, Shoot, RunJump, Approach, Climb, Lever, Release, Idle, Hop, kPlanKinds };
// How often each plan comes up before a run's own taste is laid over it.
constexpr float kBaseWeight[kPlanKinds] = {22, 14, 22, 12, 10, 10, 4, 3, 6, 5};

constexpr int kMousePerFrame = 300;  // pixels of mouse motion in one frame at most, as the solutions move
constexpr float kDeepDrop = 20.0f;   // a floor farther than this below the eye ahead is an edge

D3DXVECTOR3 Ahead(float yawDegrees, float pitchDegrees) {
    const float y = yawDegrees * kDegToRad, p = pitchDegrees * kDegToRad;
    return D3DXVECTOR3(std::sin(y) * std::cos(p), -std::sin(p), std::cos(y) * std::cos(p));
}

// The distance to the nearest object the ray meets, as the gun's pick sees them; -1 when it meets none.
float Meets(const D3DXVECTOR3& from, const D3DXVECTOR3& direction) {
    float best = -1.0f;
    for (Obj* o = g_objRoot.next; o; o = o->next) {
        if (o->typeCode == TYPE_PLAYER_BODY) continue;
        float d = 0.0f;
        if (o->Intersect(from, direction, &d, nullptr) && (best < 0.0f || d < best)) best = d;
    }
    return best;
}

int Pixels(float degrees) { return static_cast<int>(std::lround(degrees * g_mouseDivisor)); }

}  // namespace

Explorer::Explorer(uint32_t seed) : rng(seed) {
    for (float w : kBaseWeight) weights.push_back(w * Uniform(0.3f, 1.7f));
    edgeJumps = Chance(0.75f) ? Uniform(0.3f, 1.0f) : 0.0f;
    edgeReach = Uniform(2.0f, 8.0f);
}

int Explorer::Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
float Explorer::Uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); }
bool Explorer::Chance(float p) { return Uniform(0.0f, 1.0f) < p; }

void Explorer::Key(int vk, bool down, std::vector<replay::Action>& out) {
    replay::Action a{};
    a.kind = down ? replay::Action::Hold : replay::Action::Release;
    a.vk = vk;
    out.push_back(a);
    if (down)
        held.insert(vk);
    else
        held.erase(vk);
}

bool Explorer::EdgeAhead() const {
    D3DXVECTOR3 flat = Ahead(g_player.yaw, 0.0f);
    const D3DXVECTOR3 probe = g_player.position + flat * edgeReach;
    const float d = Meets(probe, D3DXVECTOR3(0.0f, -1.0f, 0.0f));
    return d < 0.0f || d > kDeepDrop;
}

// Pixels of turn toward a door, lever, lift, moving step or goal of the stage (a little off), or a
// random turn on a stage without them.
int Explorer::TurnTowardSomething() {
    std::vector<const Obj*> sights;
    for (const Obj* o = g_objRoot.next; o; o = o->next)
        if (o->typeCode == TYPE_DOOR || o->typeCode == TYPE_LEVER || o->typeCode == TYPE_ELEVATOR ||
            o->typeCode == TYPE_STEP || o->typeCode == TYPE_GOAL)
            sights.push_back(o);
    if (sights.empty()) return Pixels(Uniform(-180.0f, 180.0f));
    const Obj* o = sights[Uniform(0, static_cast<int>(sights.size()) - 1)];
    sight = o->position;
    haveSight = true;
    const D3DXVECTOR3 to = o->position - g_player.position;
    float turn = std::atan2(to.x, to.z) / kDegToRad - g_player.yaw + Uniform(-10.0f, 10.0f);
    turn = std::remainder(turn, 360.0f);
    return Pixels(turn);
}

// A key held for some frames, then let go.
void Explorer::Press(int vk, int frames) {
    plan.push_back({Move::Hold, vk});
    plan.push_back({Move::Wait, frames});
    plan.push_back({Move::Release, vk});
}

// Where the next shot goes, as a turn and a pitch: at or beside the object just faced (a door, a lever,
// a slab), or at a surface in view within this shot's reach, after a few tries (the last one kept).
void Explorer::AimAt(float& turn, float& pitch) {
    const float farthest = Uniform(12.0f, 90.0f), steepest = Uniform(10.0f, 70.0f);
    if (haveSight) {
        haveSight = false;
        const D3DXVECTOR3 to = sight - g_player.position;
        const float across = std::sqrt(to.x * to.x + to.z * to.z);
        turn = std::remainder(std::atan2(to.x, to.z) / kDegToRad - g_player.yaw, 360.0f) + Uniform(-15.0f, 15.0f);
        pitch = std::atan2(-to.y, across) / kDegToRad + Uniform(-15.0f, 20.0f);
        return;
    }
    for (int tries = 0; tries < 8; ++tries) {
        turn = Uniform(-25.0f, 25.0f);
        pitch = Uniform(-5.0f, steepest);
        const float d = Meets(g_player.position, Ahead(g_player.yaw + turn, pitch));
        if (d > 3.0f && d < farthest) return;
    }
}

void Explorer::PlanWalkOn(bool scramble, float letGo) {
    plan.push_back({Move::Hold, 'W'});
    // A jump on the way, or a scramble: jump after jump against whatever the shot bent.
    const int jumps = scramble ? Uniform(3, 10) : Chance(0.3f) ? 1 : Chance(0.45f) ? Uniform(3, 10) : 0;
    for (int i = 0; i < jumps; ++i) {
        plan.push_back({Move::Wait, jumps == 1 ? Uniform(5, 60) : Uniform(4, 14)});
        Press(VK_SPACE, Uniform(2, 4));
    }
    // Letting the bulges go under one's own feet, or from inside the hollow a shot dug: the surface
    // springs back and carries the walker with it, up.
    if (Chance(letGo)) {
        plan.push_back({Move::Wait, Uniform(5, 80)});
        Press(VK_RBUTTON, Uniform(1, 6));
    }
    plan.push_back({Move::Wait, Uniform(15, 120)});
    plan.push_back({Move::Release, 'W'});
}

void Explorer::PlanShot() {
    if (Chance(0.5f)) plan.push_back({Move::Face});
    plan.push_back({Move::Aim});
    Press(VK_LBUTTON, 1);
    plan.push_back({Move::Wait, Uniform(0, 35)});
    if (Chance(0.6f)) plan.push_back({Move::Pitch, 0, Uniform(-5.0f, 15.0f)});
    if (Chance(0.8f)) PlanWalkOn(false, 0.35f);
}

void Explorer::Plan() {
    const int kind = std::discrete_distribution<int>(weights.begin(), weights.end())(rng);
    switch (kind) {
    case Walk: {
        static const int keys[] = {'W', 'W', 'W', 'W', 'W', 'W', 'A', 'D', 'S'};
        const int key = keys[Uniform(0, 8)];
        plan.push_back({Move::Hold, key});
        if (Chance(0.4f)) plan.push_back({Move::Turn, Pixels(Uniform(-20.0f, 20.0f))});
        plan.push_back({Move::Wait, Uniform(8, 100)});
        plan.push_back({Move::Release, key});
        break;
    }
    case Turn:
        plan.push_back({Move::Turn, Pixels(Uniform(-180.0f, 180.0f))});
        if (Chance(0.3f)) plan.push_back({Move::Pitch, 0, Uniform(-10.0f, 30.0f)});
        break;
    case Shoot: PlanShot(); break;
    case RunJump:
        plan.push_back({Move::Hold, 'W'});
        plan.push_back({Move::Wait, Uniform(10, 60)});
        Press(VK_SPACE, Uniform(2, 5));
        plan.push_back({Move::Wait, Uniform(15, 60)});
        plan.push_back({Move::Release, 'W'});
        break;
    case Climb:
        // Up to a wall, a shot at its foot or face, and a scramble up the bend.
        plan.push_back({Move::Turn, Pixels(Uniform(-180.0f, 180.0f))});
        plan.push_back({Move::Hold, 'W'});
        plan.push_back({Move::Stall, Uniform(30, 200)});
        plan.push_back({Move::Release, 'W'});
        plan.push_back({Move::Turn, Pixels(Uniform(-30.0f, 30.0f))});
        plan.push_back({Move::Pitch, 0, Uniform(0.0f, 60.0f)});
        Press(VK_LBUTTON, 1);
        plan.push_back({Move::Wait, Uniform(5, 35)});
        plan.push_back({Move::Pitch, 0, Uniform(-5.0f, 10.0f)});
        PlanWalkOn(true, 0.8f);
        break;
    case Approach:
        plan.push_back({Move::Face});
        plan.push_back({Move::Pitch, 0, Uniform(-5.0f, 10.0f)});
        Press('W', Uniform(10, 90));
        break;
    case Lever: Press('E', 2); break;
    case Release: Press(VK_RBUTTON, Uniform(1, 6)); break;
    case Idle: plan.push_back({Move::Wait, Uniform(3, 40)}); break;
    default: Press(VK_SPACE, 3); break;
    }
}

bool Explorer::RunMove(std::vector<replay::Action>& out) {
    Move& m = plan.front();
    switch (m.kind) {
    case Move::Hold:
    case Move::Release:
        Key(m.n, m.kind == Move::Hold, out);
        plan.pop_front();
        return true;
    case Move::Stall:
        // Walking until something stops the walker (three frames without headway), or at most n frames.
        stalled = std::hypot(g_player.velocity.x, g_player.velocity.z) < 0.05f && !g_player.airborne ? stalled + 1 : 0;
        if (--m.n <= 0 || stalled >= 3) {
            stalled = 0;
            plan.pop_front();
        }
        return false;
    case Move::Wait:
        if (m.n <= 0) {
            plan.pop_front();
            return true;
        }
        if (--m.n == 0) plan.pop_front();
        return false;
    case Move::Turn:
    case Move::Pitch: {
        const int want = m.kind == Move::Turn ? m.n : Pixels(std::clamp(m.a, -75.0f, 75.0f) - g_player.pitch);
        if (want == 0) {
            plan.pop_front();
            return true;
        }
        const int px = std::clamp(want, -kMousePerFrame, kMousePerFrame);
        replay::Action a{};
        a.kind = replay::Action::Mouse;
        (m.kind == Move::Turn ? a.dx : a.dy) = px;
        out.push_back(a);
        if (m.kind == Move::Turn) m.n -= px;
        if (want == px) plan.pop_front();
        return false;
    }
    case Move::Aim: {
        float turn = 0.0f, pitch = 0.0f;
        AimAt(turn, pitch);
        plan.pop_front();
        plan.push_front({Move::Pitch, 0, pitch});
        plan.push_front({Move::Turn, Pixels(turn)});
        return true;
    }
    case Move::Face:
        plan.pop_front();
        plan.push_front({Move::Turn, TurnTowardSomething()});
        return true;
    }
    return false;
}

void Explorer::Step(int now, std::vector<replay::Action>& out) {
    frame = now;
    out.clear();
    for (int vk : toRelease) Key(vk, false, out);
    toRelease.clear();
    for (auto it = releases.begin(); it != releases.end();) {
        if (it->first <= frame) {
            Key(it->second, false, out);
            it = releases.erase(it);
        } else {
            ++it;
        }
    }
    // A walker at an edge jumps, if this run is one that does.
    if (edgeJumps > 0.0f && held.count('W') && !held.count(VK_SPACE) && !g_player.airborne && Chance(edgeJumps) &&
        EdgeAhead()) {
        Key(VK_SPACE, true, out);
        releases.emplace_back(frame + Uniform(2, 5), VK_SPACE);
    }
    // Moves that take no frame of their own (keys, a finished turn) run on in the same frame; a plan
    // of nothing but those cannot hold the frame up for long.
    for (int guard = 0; guard < 32; ++guard) {
        if (plan.empty()) Plan();
        if (!RunMove(out)) break;
    }
}

}  // namespace shortcuts
