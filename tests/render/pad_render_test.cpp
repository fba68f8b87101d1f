// The gamepad through the real SDL window under X: the shared pad tests (support/pad_play.cpp) played
// on SDL's own virtual pad, registered as a game controller, so SDL's game-controller interface and its
// mapping, hot-plug events and clock are the real ones.
#include <windows.h>

#include "gl/control.h"
#include "support/pad_play.h"

namespace pad_test {

const Controls& BackendControls() {
    static const Controls controls{
        [] {
            real::autoAnswerMessageBoxes(IDOK);
            real::setUnpaced(true);  // the tests go by the frame, or by the clock where it matters
        },
        real::attachVirtualPad,
        real::detachVirtualPad,
        real::setVirtualPadButton,
        real::setVirtualPadAxis,
        [](int vk, bool down) {
            real::scriptInput(true);  // the keyboard from a script; the pad stays SDL's
            real::holdKey(vk, down);
        },
        [] {
            real::holdKey('W', false);
            real::scriptInput(false);
            real::autoAnswerMessageBoxes(0);
            real::setUnpaced(false);
        },
    };
    return controls;
}

}  // namespace pad_test
