// OGoal: the end of a stage; the player coming near it chooses the next stage and starts the white fade.
#pragma once

#include "stage/obj.h"

class OGoal : public Obj {
public:
    OGoal(ID3DXMesh* mesh, uint16_t typeCode, const D3DXVECTOR3& position, float yaw, float pitch, int nextStage);
    void Update() override;
    void Draw() override;
    std::string DescribeState() const override;

    int nextStage;  // 1-based line of the stage list; anything outside 1 to 4 leads to the clear screen
};
