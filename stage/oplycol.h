// OPlyCol: the player's invisible body, which follows the eye so that laser beams can hit it.
#pragma once

#include "stage/obj.h"

class OPlyCol : public Obj {
public:
    OPlyCol(ID3DXMesh* mesh, uint16_t typeCode, const D3DXVECTOR3& position, float yaw, float pitch)
        : Obj(mesh, typeCode, position, yaw, pitch) {}
    void Update() override;
    void Draw() override;
};
