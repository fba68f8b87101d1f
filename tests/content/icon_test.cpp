// The desktop icon: every size drawn, a transparent margin around an opaque tile, the same at every size.
#include <gtest/gtest.h>

#include "tools/content/generator.h"

namespace {

TEST(Icon, EverySizeIsATileWithClearCornersAndTheSamePicture) {
    ASSERT_EQ(content::IconSizes(), (std::vector<int>{16, 32, 48, 64, 128, 256}));
    const content::Canvas big = content::Icon(256);
    for (int size : content::IconSizes()) {
        const content::Canvas c = content::Icon(size);
        ASSERT_EQ(std::make_pair(c.w, c.h), std::make_pair(size, size));
        // The rounded tile leaves its corners clear and covers the middle.
        EXPECT_EQ(c.px[0].a, 0.0f) << size;
        EXPECT_EQ(c.px[size_t(size) * size - 1].a, 0.0f) << size;
        EXPECT_FLOAT_EQ(c.px[size_t(size / 2) * size + size / 2].a, 1.0f) << size;
        // A small size is the big one made smaller: the average colour agrees.
        auto mean = [](const content::Canvas& p) {
            double r = 0, g = 0, b = 0, a = 0;
            for (const content::Rgba& q : p.px) {
                r += q.r * q.a;
                g += q.g * q.a;
                b += q.b * q.a;
                a += q.a;
            }
            return std::vector<double>{r / a, g / a, b / a, a / p.px.size()};
        };
        const std::vector<double> small = mean(c), large = mean(big);
        for (int k = 0; k < 4; ++k) EXPECT_NEAR(small[k], large[k], 0.03) << size << " channel " << k;
    }
}

}  // namespace
