// OLever: the switch the player flips with E; it publishes its state on its lever channel every frame.
#pragma once

#include "stage/obj.h"

class OLever : public Obj {
public:
    OLever(ID3DXMesh* mesh, uint16_t typeCode, const D3DXVECTOR3& position, float yaw, float pitch, int channel,
           int initialState);
    void Update() override;
    void Draw() override;
    std::string DescribeState() const override;

    int channel;
    bool on;
};
