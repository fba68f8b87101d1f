// The object factory: one row per class that a stage record's type code can name, with what the stage
// data must give that class (the meshes it draws by name, the channel it listens to).
#pragma once

#include <cstdint>
#include <string>

#include "stage/obj.h"

struct ObjectClass {
    uint16_t typeCode;
    const char* name;
    Obj* (*make)(ID3DXMesh* mesh, const std::string& meshName, uint16_t typeCode, const D3DXVECTOR3& position,
                 float yaw, float pitch, const float params[5]);
    const char* recordMesh;      // the mesh the record itself must name, or null for any
    const char* fixedMeshes[2];  // the cached meshes the class draws by name (null when unused)
    int channelParam;            // which of params[] is the lever channel, or -1
    bool addsChannel;            // a lever: appends its state to the lever-state list when built
};

// A float parameter taken as an integer (channels, counts, the next stage): truncated toward zero.
int ParamAsInt(float value);

// The row for a type code, or null when the code names no class.
const ObjectClass* FindObjectClass(uint16_t typeCode);
