// OStep: a moving platform gliding back and forth between its origin and a target at a constant speed,
// bent by the gun's bulges like the level geometry.
#pragma once

#include "stage/obj.h"

class OStep : public Obj {
public:
    OStep(ID3DXMesh* mesh, uint16_t typeCode, const D3DXVECTOR3& position, float yaw, float pitch,
          const D3DXVECTOR3& target, float speed);
    void Update() override;
    void Draw() override;
    std::string DescribeState() const override;

    D3DXVECTOR3 target;  // the far end of the path
    D3DXVECTOR3 origin;  // the near end: where the record put it
    float speed;         // signed distance along the path per frame; the sign flips at each end
};
