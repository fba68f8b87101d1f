// Formatting for DescribeState.
#include "stage/describe.h"

#include <cstdio>

std::string Describe(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.4f", value);
    return text;
}

std::string Describe(const D3DXVECTOR3& v) { return Describe(v.x) + "," + Describe(v.y) + "," + Describe(v.z); }
