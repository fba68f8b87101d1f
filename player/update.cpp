// The player's frame: the mouse turns the view from the centre of the window, where the cursor is put
// back every frame; the arrow keys change how far a pixel turns; the death sequence rolls the view over.
#include "player/update.h"

#include <windows.h>
#include <d3dx9.h>

#include "app/globals.h"
#include "app/input.h"
#include "player/collision.h"
#include "player/gun.h"
#include "player/movement.h"
#include "player/player_state.h"

namespace {

// The client point the mouse rests on.
constexpr int kRestX = 320;
constexpr int kRestY = 240;

void LookWithMouse() {
    PlayerState& p = g_player;
    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    ScreenToClient(g_hWnd, &cursor);
    int dx = cursor.x - kRestX;
    int dy = cursor.y - kRestY;
    p.yaw += dx / g_mouseDivisor;
    p.pitch += dy / g_mouseDivisor;
    if (p.pitch > 80.0f) p.pitch = 80.0f;
    if (p.pitch < -80.0f) p.pitch = -80.0f;
    // Back to the rest point, focused or not.
    POINT rest{kRestX, kRestY};
    ClientToScreen(g_hWnd, &rest);
    SetCursorPos(rest.x, rest.y);
}

void ChangeSensitivity() {
    if (g_input.left.Down()) g_mouseDivisor += 0.1f;
    if (g_input.right.Down()) g_mouseDivisor -= 0.1f;
    if (!(g_mouseDivisor > 1.0f)) g_mouseDivisor = 1.0f;
}

// The eye plus the unit view direction of the given rotations.
void AimCamera(const D3DXMATRIX& rx, const D3DXMATRIX& ry) {
    D3DXMATRIX view;
    D3DXMatrixMultiply(&view, &rx, &ry);
    D3DXVECTOR3 ahead(0.0f, 0.0f, 1.0f), direction;
    D3DXVec3TransformCoord(&direction, &ahead, &view);
    g_player.lookAt = g_player.position + direction;
}

}  // namespace

void UpdatePlayer() {
    PlayerState& p = g_player;
    if (p.dead) {
        UpdateDeadPlayer();
        return;
    }
    StepHealth();  // a death begun here still lets this frame run to its end
    LookWithMouse();
    D3DXMATRIX ry, rx;
    D3DXMatrixRotationY(&ry, p.yaw * kDegToRad);
    D3DXMatrixRotationX(&rx, p.pitch * kDegToRad);
    ChangeSensitivity();
    MovePlayer();
    AimCamera(rx, ry);
    StepGun();
    p.shotFlash = p.shotFlash > 10 ? static_cast<uint16_t>(p.shotFlash - 10) : 0;
}

void UpdateDeadPlayer() {
    PlayerState& p = g_player;
    // Screen coordinates as they stand: the cursor is only parked, the view no longer follows it.
    SetCursorPos(kRestX, kRestY);
    D3DXMATRIX ry, rx;
    D3DXMatrixRotationY(&ry, p.yaw * kDegToRad);
    D3DXMatrixRotationX(&rx, p.pitch * kDegToRad);

    p.fallSpin += 0.05f;
    p.pitch += p.fallSpin;
    if (p.pitch > 70.0f) p.pitch = 70.0f;
    D3DXMATRIX roll;
    D3DXMatrixRotationZ(&roll, p.pitch * kDegToRad);
    D3DXVECTOR3 upright(0.0f, 1.0f, 0.0f);
    D3DXVec3TransformCoord(&p.up, &upright, &roll);

    if (p.airborne) {
        p.velocity.y -= 0.1f;
        p.velocity.x *= 0.99f;
        p.velocity.z *= 0.99f;
    } else {
        p.velocity.y = 0.0f;
        p.velocity.x *= 0.4f;
        p.velocity.z *= 0.4f;
    }
    if (D3DXVec3Length(&p.velocity) < 0.1f) p.velocity = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    if (p.velocity.y < -9.0f) p.velocity.y = -9.0f;
    if (D3DXVec3Length(&p.velocity) > 9.0f) {
        D3DXVec3Normalize(&p.velocity, &p.velocity);
        p.velocity *= 9.0f;
    }
    p.position += p.velocity;
    CollidePlayer();
    AimCamera(rx, ry);  // with the pitch from before this frame: the target lags the roll by a frame
}
