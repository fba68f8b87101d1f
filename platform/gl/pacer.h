// Keeps Present at 60 frames per second whatever the display does: a 144 Hz monitor, or no vsync at
// all, must not make the game run faster, since every speed in the game is counted per frame.
#pragma once

#include <cstdint>

namespace gl {

class Pacer {
public:
    void start(uint64_t ticksPerSecond, uint64_t now) {
        frequency = ticksPerSecond;
        next = now;
    }

    // Waits until the next sixtieth of a second is due. A run that fell far behind (a stall, a box)
    // starts counting afresh instead of racing to catch up.
    template <typename Now, typename Sleep>
    void wait(Now now, Sleep sleepMs) {
        next += frequency / 60;
        uint64_t t = now();
        if (t > next && t - next > 4 * frequency / 60) {
            next = t;
            return;
        }
        while (t < next) {
            uint64_t left = next - t;
            uint64_t leftMs = left * 1000 / frequency;
            if (leftMs > 1) sleepMs(static_cast<uint32_t>(leftMs - 1));
            t = now();
        }
    }

private:
    uint64_t frequency = 1;
    uint64_t next = 0;
};

}  // namespace gl
