// The elevator: approach, boarding, ride and carry while its channel is on; the way back to its first
// stop while it is off. Stops A and B at one point give nothing to ride: such an elevator stays put.
#include "stage/oelevator.h"

#include <dsound.h>

#include "app/globals.h"
#include "player/player_state.h"
#include "sound/sound_bank.h"
#include "stage/describe.h"
#include "stage/fixed_mesh.h"
#include "stage/lever_states.h"

namespace {
constexpr float kBoardingReach = 20.0f;
constexpr float kStopTolerance = 1.0e-4f;  // relative to the speed
constexpr DWORD kLampMaterial = 2;

float Distance(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    D3DXVECTOR3 d = a - b;
    return D3DXVec3Length(&d);
}

D3DXVECTOR3 Toward(const D3DXVECTOR3& from, const D3DXVECTOR3& to, float length) {
    D3DXVECTOR3 d = to - from, unit;
    D3DXVec3Normalize(&unit, &d);
    return unit * length;
}
}  // namespace

OElevator::OElevator(ID3DXMesh* mesh, uint16_t typeCode, const D3DXVECTOR3& position, float yaw, float pitch,
                     const D3DXVECTOR3& endPoint, float speed, int channel)
    : Obj(mesh, typeCode, position, yaw, pitch),
      endPoint(endPoint),
      startPoint(position),
      step(0.0f, 0.0f, 0.0f),
      speed(speed),
      channel(channel) {}

bool OElevator::AtStop(const D3DXVECTOR3& stop) const {
    return Distance(stop, position) <= speed * (1.0f + kStopTolerance);
}

void OElevator::Update() {
    const D3DXVECTOR3 player = g_player.position;
    const float playerToElevator = Distance(player, position);
    if (startPoint == endPoint) {  // no direction to ride in
        riding = playerOnTop;
        return;
    }
    if (!ReadLeverState(channel)) {
        UpdateOff(playerToElevator);
        return;
    }

    // Approach: the stop nearer the player (a tie gives A).
    const D3DXVECTOR3& target = Distance(player, startPoint) > Distance(player, endPoint) ? endPoint : startPoint;
    if (AtStop(target)) {
        position = target;
        g_soundBank->Stop("mecha00.wav");
        if (motionSound) g_soundBank->Play("close01.wav", -1000, 0);
        motionSound = false;
    } else if (playerOnTop) {
        Ride(player);
        return;
    } else if (playerToElevator > kBoardingReach) {
        step = Toward(position, target, speed);
        position += step;
    }

    // Boarding: on it, or near enough.
    if (playerOnTop || playerToElevator < kBoardingReach) {
        Ride(player);
        return;
    }
    riding = playerOnTop;
}

void OElevator::Ride(const D3DXVECTOR3& player) {
    if (!riding) {
        // A new ride goes to the stop farther from the player (a tie gives A), in the direction of the
        // whole trip.
        const bool toEnd = Distance(player, startPoint) < Distance(player, endPoint);
        const D3DXVECTOR3& destination = toEnd ? endPoint : startPoint;
        const D3DXVECTOR3& other = toEnd ? startPoint : endPoint;
        if (AtStop(destination)) {
            position = destination;
        } else {
            step = Toward(other, destination, speed);
            position += step;
        }
        g_soundBank->Stop("mecha00.wav");
        g_soundBank->Play("mecha00.wav", -2000, DSBPLAY_LOOPING);
        motionSound = true;
    }
    // Carry. Going up, the player's height is left to the collision, which lifts the player onto the
    // moved deck; sideways and down the player moves with it.
    position += step;
    if (step.y > 0.0f) {
        g_player.position.x += step.x;
        g_player.position.z += step.z;
    } else {
        g_player.position += step;
    }
    playerOnTop = true;
    riding = true;
}

void OElevator::UpdateOff(float playerToElevator) {
    if (playerOnTop && playerToElevator < kBoardingReach) {
        riding = playerOnTop;
        return;
    }
    if (AtStop(startPoint)) {
        position = startPoint;
        riding = playerOnTop;
        return;
    }
    if (playerToElevator <= kBoardingReach) {
        riding = playerOnTop;
        return;
    }
    step = Toward(position, startPoint, speed);
    position += step;
    riding = playerOnTop;
}

void OElevator::Draw() {
    g_device->SetTexture(0, nullptr);
    D3DXMATRIX world = DrawMatrix();
    RestoreBaseVertices();  // never bent
    g_device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    g_device->SetTransform(D3DTS_WORLD, &world);
    MeshRecord* record = FindFixedMesh("elevator.x");
    if (!record) return;
    SetLamp(record, kLampMaterial, ReadLeverState(channel));
    record->Draw();
}

std::string OElevator::DescribeState() const {
    return "riding " + std::to_string(riding ? 1 : 0) + " motion " + std::to_string(motionSound ? 1 : 0) + " step " +
           Describe(step) + " position " + Describe(position);
}
