// The meshes stage objects draw by a fixed name ("door.x", "laser.x", ...) and the lamps lit on them.
#pragma once

#include "resource/resource_cache.h"

// The cached record of a fixed mesh. A name the stage did not load gives null, and the log gets one
// warning line for it per stage load (not one per frame).
MeshRecord* FindFixedMesh(const char* name);
// Forgets which names have been warned about; every stage load does this when it clears the objects.
void ForgetFixedMeshWarnings();

// Lights material `index` of the record green (on) or red (off): diffuse, emissive and ambient colour,
// alpha untouched. A record with too few materials is left as it is.
void SetLamp(MeshRecord* record, DWORD index, bool on);
