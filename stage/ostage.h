// OStage: the level geometry, drawn from the mesh its record names and bent by the bulges.
#pragma once

#include <string>

#include "stage/obj.h"

class OStage : public Obj {
public:
    OStage(ID3DXMesh* mesh, uint16_t typeCode, const D3DXVECTOR3& position, float yaw, float pitch,
           const std::string& meshName);
    void Update() override {}
    void Draw() override;

    std::string meshName;
};
