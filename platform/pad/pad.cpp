// The gamepad mapping: which keys a pad holds this frame and how far its right stick moves the cursor.
#include "pad/pad.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pad {

namespace {

// The left stick's eight ways, clockwise from straight up (forward), each 45 degrees wide.
constexpr int kWays[8][2] = {{'W', 0}, {'W', 'D'}, {'D', 0}, {'S', 'D'}, {'S', 0}, {'S', 'A'}, {'A', 0}, {'W', 'A'}};

void walk(const State& s, std::bitset<256>& held) {
    const long long x = s.axes[LeftX], y = s.axes[LeftY];
    if (x * x + y * y <= static_cast<long long>(kWalkDeadZone) * kWalkDeadZone) return;
    const double degrees = std::atan2(static_cast<double>(x), static_cast<double>(-y)) * 180.0 / std::numbers::pi;
    const int way = static_cast<int>(std::lround(degrees / 45.0) + 8) % 8;
    for (int vk : kWays[way])
        if (vk) held[vk] = true;
}

// Whole pixels out of the carried subpixels, truncated towards zero so both directions behave alike.
int takePixels(int& carry) {
    const int pixels = carry / kSubpixels;
    carry -= pixels * kSubpixels;
    return pixels;
}

}  // namespace

void Mapper::step(const State* s, uint32_t nowMs, std::deque<seam::Event>& events) {
    held.reset();
    if (!s) {
        // Unplugged or unfocused: nothing stays held, no half pixel waits, no Back press goes on.
        *this = Mapper{};
        return;
    }
    walk(*s, held);
    held[VK_SPACE] = s->buttons[A];
    held['E'] = s->buttons[X];
    held[VK_LEFT] = s->buttons[DpadLeft];
    held[VK_RIGHT] = s->buttons[DpadRight];
    held[VK_RETURN] = s->buttons[Start];
    const int right = s->axes[RightTrigger], left = s->axes[LeftTrigger];
    fire = fire ? right >= kTriggerUp : right > kTriggerDown;
    release = release ? left >= kTriggerUp : left > kTriggerDown;
    held[VK_LBUTTON] = fire;
    held[VK_RBUTTON] = release || s->buttons[LeftShoulder];

    const double x = s->axes[RightX], y = s->axes[RightY];
    const double length = std::sqrt(x * x + y * y);
    if (length <= kLookDeadZone) {
        carryX = carryY = 0;
    } else {
        const double t = std::min(1.0, (length - kLookDeadZone) / (kStickMax - kLookDeadZone));
        const double speed = kLookFullSpeed * kSubpixels * t * t;
        carryX += static_cast<int>(std::lround(speed * x / length));
        carryY += static_cast<int>(std::lround(speed * y / length));
        const int dx = takePixels(carryX), dy = takePixels(carryY);
        if (dx || dy) events.push_back(seam::Event{seam::EventKind::MouseMotion, 0, false, dx, dy});
    }

    if (!s->buttons[Back]) {
        backDown = escapeSent = false;
    } else if (!backDown) {
        backDown = true;
        backSince = nowMs;
    } else if (!escapeSent && nowMs - backSince >= kBackHoldMs) {
        escapeSent = true;
        events.push_back(seam::Event{seam::EventKind::KeyDown, VK_ESCAPE, false, 0, 0});
    }
}

void merge(State& into, const State& other) {
    for (int b = 0; b < kButtonCount; ++b) into.buttons[b] = into.buttons[b] || other.buttons[b];
    auto push = [](const State& s, int axis) {
        return static_cast<long long>(s.axes[axis]) * s.axes[axis] +
               static_cast<long long>(s.axes[axis + 1]) * s.axes[axis + 1];
    };
    for (int stick : {LeftX, RightX})
        if (push(other, stick) > push(into, stick)) {
            into.axes[stick] = other.axes[stick];
            into.axes[stick + 1] = other.axes[stick + 1];
        }
    for (int trigger : {LeftTrigger, RightTrigger})
        into.axes[trigger] = std::max(into.axes[trigger], other.axes[trigger]);
}

}  // namespace pad
