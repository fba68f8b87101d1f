// The replay runner on the headless platform.
#include "driver.h"
#include "headless/control.h"

namespace replay {

namespace {
struct Headless : Driver {
    const char* Name() const override { return "headless"; }
    void Prepare(bool) override { headless::reset(); }
    void HoldKey(int vk, bool down) override { headless::holdKey(vk, down); }
    void PushKeyDown(int vk) override { headless::pushKeyDown(vk); }
    void PushClose() override { headless::pushClose(); }
    void MoveMouse(int dx, int dy) override { headless::moveMouse(dx, dy); }
    void QueueAnswer(int answer) override { headless::queueAnswer(answer); }
    bool PadConnect(bool connected) override {
        headless::connectPad(connected);
        return true;
    }
    void PadButton(int button, bool down) override { headless::holdPadButton(button, down); }
    void PadAxis(int axis, int value) override { headless::setPadAxis(axis, value); }
    void OnFrame(std::function<void(int)> hook) override { headless::onFrame(std::move(hook)); }
    void SetFrameLimit(int limit) override { headless::setFrameLimit(limit); }
    int FrameCount() override { return headless::frameCount(); }
    bool Capture(std::vector<uint32_t>&) override { return false; }
};
}  // namespace

Driver& PlatformDriver() {
    static Headless driver;
    return driver;
}

}  // namespace replay
