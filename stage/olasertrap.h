// OLaserTrap: a turning laser that, while its lever channel is on, sweeps a beam that stops at the first
// object it meets and hurts the player's body when that is what it meets.
#pragma once

#include "stage/obj.h"

class OLaserTrap : public Obj {
public:
    OLaserTrap(ID3DXMesh* mesh, uint16_t typeCode, const D3DXVECTOR3& position, float yaw, float pitch, int channel,
               float yawSpeed, float pitchSpeed);
    void Update() override;
    void Draw() override;
    std::string DescribeState() const override;

    int phase = 0;             // toggled on every active frame; 0: the beam is measured against everything
    float beamLength = -1.0f;  // distance to the nearest object hit; -1: nothing
    float yawSpeed;            // degrees per active frame
    float pitchSpeed;
    int channel;
    // Set by the first frame that measured the beam against every object. Before it the length is
    // unknown, and the frames that test only the player's body do not hurt (a wall may stand between).
    bool measured = false;
};
