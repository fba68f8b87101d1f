// How the replay runner talks to a platform: the headless one or the real one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace replay {

struct Driver {
    virtual ~Driver() = default;
    virtual const char* Name() const = 0;
    virtual void Prepare(bool unpaced) = 0;  // before WinMain
    virtual void HoldKey(int vk, bool down) = 0;
    virtual void PushKeyDown(int vk) = 0;
    virtual void PushClose() = 0;
    virtual void MoveMouse(int dx, int dy) = 0;
    virtual void QueueAnswer(int answer) = 0;
    // A gamepad: plugged in or out, its buttons (pad::Button) and axes (pad::Axis).
    virtual bool PadConnect(bool connected) = 0;
    virtual void PadButton(int button, bool down) = 0;
    virtual void PadAxis(int axis, int value) = 0;
    virtual void OnFrame(std::function<void(int)> hook) = 0;
    virtual void SetFrameLimit(int limit) = 0;
    virtual int FrameCount() = 0;
    // The picture of the frame just presented (640 × 480 ARGB); false without pixels.
    virtual bool Capture(std::vector<uint32_t>& argb) = 0;
};

Driver& PlatformDriver();  // the one linked in

}  // namespace replay
