// Keeps Present at 60 frames per second whatever the display does: a 144 Hz monitor, or no vsync at
// all, must not make the game run faster, since every speed in the game is counted per frame.
#pragma once

#include <cstdint>

namespace pacing {

class Pacer {
public:
    void start(uint64_t ticksPerSecond, uint64_t now) {
        frequency = ticksPerSecond;
        base = now;
        frames = 0;
    }

    // Waits until the next sixtieth of a second is due, counted from the start so that no rounding
    // builds up. A run that fell far behind (a stall, a box) starts counting afresh instead of racing
    // to catch up.
    template <typename Now, typename Sleep>
    void wait(Now now, Sleep sleepMs) {
        ++frames;
        uint64_t due = base + frames * frequency / 60;
        uint64_t t = now();
        if (t > due && t - due > 4 * frequency / 60) {
            base = t;
            frames = 0;
            return;
        }
        while (t < due) {
            uint64_t leftMs = (due - t) * 1000 / frequency;
            // Sleep for all but the last millisecond, then spin: sleeps overshoot.
            if (leftMs > 1) sleepMs(static_cast<uint32_t>(leftMs - 1));
            t = now();
        }
    }

private:
    uint64_t frequency = 1;
    uint64_t base = 0;
    uint64_t frames = 0;
};

}  // namespace pacing
