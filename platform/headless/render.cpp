// The headless device backend: accepts everything, draws no pixels, moves the frame clock on Present.
#include <cstdint>
#include <vector>

#include "headless/control.h"
#include "headless/internal.h"
#include "seam/render.h"

namespace {
bool failDeviceFlag = false;
bool failPresentFlag = false;
bool created = false;
uint32_t nextTexture = 1;
bool recording = false;
std::vector<headless::RecordedDraw> draws;
std::vector<headless::RecordedClear> clears;
}  // namespace

namespace headless {
void failDevice(bool fail) { failDeviceFlag = fail; }
void failPresent(bool fail) { failPresentFlag = fail; }
void resetRender() {
    failDeviceFlag = false;
    failPresentFlag = false;
    created = false;
    nextTexture = 1;
    recording = false;
    draws.clear();
    clears.clear();
}
void recordDraws(bool on) {
    recording = on;
    draws.clear();
    clears.clear();
}
const std::vector<RecordedDraw>& recordedDraws() { return draws; }
const std::vector<RecordedClear>& recordedClears() { return clears; }
}  // namespace headless

namespace seam {

bool renderCreate(const RenderConfig&) {
    if (failDeviceFlag || created) return false;
    created = true;
    return true;
}
bool renderReset(const RenderConfig&) { return !failPresentFlag; }
void renderDestroy() { created = false; }
DisplayMode renderDisplayMode() { return DisplayMode{1920, 1080, 60}; }

uint32_t textureCreate(int, int, int, bool) { return nextTexture++; }
void textureUpload(uint32_t, int, int, int, const uint32_t*) {}
void textureDestroy(uint32_t) {}

void renderClear(const d3d9::DeviceState&, DWORD flags, D3DCOLOR colour, float, DWORD) {
    if (recording) clears.push_back({flags, colour});
}
void renderDraw(const d3d9::DeviceState& state, const DrawCall& call) {
    if (!recording) return;
    headless::RecordedDraw d{state, call.type, call.primitiveCount, call.stride, {}, {}};
    const auto* bytes = static_cast<const uint8_t*>(call.vertices);
    d.vertices.assign(bytes, bytes + static_cast<size_t>(call.vertexCount) * call.stride);
    size_t n = call.primitiveCount, indexCount = n + 2;
    if (call.type == D3DPT_TRIANGLELIST) indexCount = 3 * n;
    if (call.type == D3DPT_LINELIST) indexCount = 2 * n;
    if (call.type == D3DPT_LINESTRIP) indexCount = n + 1;
    if (call.type == D3DPT_POINTLIST) indexCount = n;
    if (call.indices) d.indices.assign(call.indices, call.indices + indexCount);
    if (call.indices32) d.indices.assign(call.indices32, call.indices32 + indexCount);
    draws.push_back(std::move(d));
}

bool renderPresent() {
    headless::framePresented();
    return !failPresentFlag;
}

bool renderReadBack(uint32_t*) { return false; }

}  // namespace seam
