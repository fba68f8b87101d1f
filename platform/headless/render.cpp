// The headless device backend: accepts everything, draws no pixels, moves the frame clock on Present.
#include <cstdint>

#include "headless/control.h"
#include "headless/internal.h"
#include "seam/render.h"

namespace {
bool failDeviceFlag = false;
bool failPresentFlag = false;
bool created = false;
uint32_t nextTexture = 1;
}  // namespace

namespace headless {
void failDevice(bool fail) { failDeviceFlag = fail; }
void failPresent(bool fail) { failPresentFlag = fail; }
void resetRender() {
    failDeviceFlag = false;
    failPresentFlag = false;
    created = false;
    nextTexture = 1;
}
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

void renderClear(const d3d9::DeviceState&, DWORD, D3DCOLOR, float, DWORD) {}
void renderDraw(const d3d9::DeviceState&, const DrawCall&) {}

bool renderPresent() {
    headless::framePresented();
    return !failPresentFlag;
}

bool renderReadBack(uint32_t*) { return false; }

}  // namespace seam
