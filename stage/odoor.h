// ODoor: four panels of one mesh, turned about the door's z axis in quarter turns, that slide apart along
// the diagonals while the door's lever channel is on and the player is near.
#pragma once

#include "stage/obj.h"

class ODoor : public Obj {
public:
    ODoor(ID3DXMesh* mesh, uint16_t typeCode, const D3DXVECTOR3& position, float yaw, float pitch, int channel);
    void Update() override;
    void Draw() override;
    // The nearest hit over the four moved panels, each tested with its own bent shape (the slice drawn
    // for it); on a miss *distance is -1.
    BOOL Intersect(D3DXVECTOR3 rayOrigin, D3DXVECTOR3 rayDirection, float* distance, DWORD* faceIndex) override;
    // The face of the panel that the last Intersect hit, as drawn, turned by that panel's rotation.
    D3DXVECTOR3 HitNormal(DWORD face) override;
    std::string DescribeState() const override;

    // Panel i's world matrix (slide × rotation × translation) and its rotation.
    void PanelMatrices(int panel, D3DXMATRIX& world, D3DXMATRIX& rotation) const;

    bool open = false;
    float openAmount = 0.0f;  // how far each panel has slid along its diagonal, 0 to 40
    int channel;

private:
    int hitPanel = 0;  // the panel of the last Intersect's nearest hit
};
