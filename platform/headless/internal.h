// What the headless window and device share.
#pragma once

namespace headless {
void framePresented();  // the device presented a frame: the clock and the script move on
void resetRender();
void resetSound();
}  // namespace headless
