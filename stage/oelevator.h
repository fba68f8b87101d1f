// OElevator: a platform between two stops that comes to a distant player, carries a boarding player to
// the other stop with its motion loop and arrival sound, and goes back to its first stop when its lever
// channel is off.
#pragma once

#include "stage/obj.h"

class OElevator : public Obj {
public:
    OElevator(ID3DXMesh* mesh, uint16_t typeCode, const D3DXVECTOR3& position, float yaw, float pitch,
              const D3DXVECTOR3& endPoint, float speed, int channel);
    void Update() override;
    void Draw() override;
    std::string DescribeState() const override;

    D3DXVECTOR3 endPoint;    // stop B
    D3DXVECTOR3 startPoint;  // stop A, where the record put it
    D3DXVECTOR3 step;        // the movement per frame of the current approach or ride
    float speed;             // length of step, and how near a stop counts as there
    bool motionSound = false;
    bool riding = false;
    int channel;

private:
    // Within one step of the stop. The test allows a rounding's worth above the speed, so that the
    // elevator resting one step beyond its stop is still seen as at the stop.
    bool AtStop(const D3DXVECTOR3& stop) const;
    void Ride(const D3DXVECTOR3& player);
    void UpdateOff(float playerToElevator);
};
