// The player record and its reset at every stage start.
#include "player/player_state.h"

PlayerState g_player = {};

// The record is reset once as the program starts, while the start position is still zero.
static const bool s_playerReset = ResetPlayer();

bool ResetPlayer() {
    g_player.position = g_player.startPosition;
    g_player.yaw = 0.0f;
    g_player.pitch = 0.0f;
    g_player.up = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    g_player.health = 255.0f;
    g_player.fallSpin = 0.0f;
    g_player.velocity = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    g_player.airborne = false;
    g_player.dead = false;
    for (int i = 0; i < 4; ++i) {
        g_player.bulgeActive[i] = false;
        g_player.bulgeRadius[i] = 1.0f;
        g_player.bulgeCenter[i] = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    }
    return true;
}
