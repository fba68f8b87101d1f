// The replay runner on the real platform: a real window, picture and sound; input from the replay.
#include <windows.h>

#include "driver.h"
#include "gl/control.h"

namespace replay {

namespace {
struct Real : Driver {
    const char* Name() const override { return "real"; }
    void Prepare(bool unpaced) override {
        real::scriptInput(true);
        real::autoAnswerMessageBoxes(IDNO);  // once the replay's answers are used up
        real::setUnpaced(unpaced);
    }
    void HoldKey(int vk, bool down) override { real::holdKey(vk, down); }
    void PushKeyDown(int vk) override { real::pushKeyDown(vk); }
    void PushClose() override { real::pushClose(); }
    void MoveMouse(int dx, int dy) override { real::moveMouse(dx, dy); }
    void QueueAnswer(int answer) override { real::queueAnswer(answer); }
    bool PadConnect(bool connected) override {
        if (connected) return real::attachVirtualPad();
        real::detachVirtualPad();
        return true;
    }
    void PadButton(int button, bool down) override { real::setVirtualPadButton(button, down); }
    void PadAxis(int axis, int value) override { real::setVirtualPadAxis(axis, value); }
    void OnFrame(std::function<void(int)> hook) override { real::onFrame(std::move(hook)); }
    void SetFrameLimit(int limit) override { real::setFrameLimit(limit); }
    int FrameCount() override { return real::frameCount(); }
    bool Capture(std::vector<uint32_t>& argb) override { return real::readBackBuffer(argb); }
};
}  // namespace

Driver& PlatformDriver() {
    static Real driver;
    return driver;
}

}  // namespace replay
