// The 60 Hz limiter on a simulated clock.
#include <gtest/gtest.h>

#include "pacer.h"

namespace {

struct Clock {
    uint64_t t = 0;        // microseconds
    uint64_t oversleep = 0;  // how late every sleep wakes up
    uint64_t now() { return t += 5; }  // reading the clock takes a little time, as spinning does
    void sleep(uint32_t ms) { t += ms * 1000ull + oversleep; }
};

TEST(Pacer, SixtyFramesTakeOneSecondWhateverTheFrameCosts) {
    for (uint64_t work : {0ull, 1000ull, 15000ull}) {
        Clock c;
        c.oversleep = 300;
        pacing::Pacer p;
        p.start(1000000, c.t);
        for (int i = 0; i < 600; ++i) {
            c.t += work;  // the frame's own work
            p.wait([&] { return c.now(); }, [&](uint32_t ms) { c.sleep(ms); });
        }
        // Ten seconds for 600 frames, to within one frame, and no drift from rounding 1/60.
        EXPECT_NEAR(static_cast<double>(c.t), 10e6, 1e6 / 60) << "work " << work;
    }
}

TEST(Pacer, NeverWaitsWhenBehindAndStartsAfreshAfterAStall) {
    Clock c;
    pacing::Pacer p;
    p.start(1000000, 0);
    c.t = 500000;  // a half-second stall (a message box)
    p.wait([&] { return c.now(); }, [&](uint32_t ms) { c.sleep(ms); });
    EXPECT_LT(c.t, 500100u);
    // Then the pace is kept from the stall on, with no burst of catch-up frames.
    p.wait([&] { return c.now(); }, [&](uint32_t ms) { c.sleep(ms); });
    EXPECT_GE(c.t, 500000u + 16666u);
}

}  // namespace
