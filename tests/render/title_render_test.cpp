// A real title frame under Xvfb: the grey background in the corners, the title picture's opaque
// pixels exactly where it is drawn, and the prompt blended at the alpha of its blink.
#include <d3dx9.h>

#include <cstdlib>

#include "app/globals.h"
#include "gl/control.h"
#include "render/render_support.h"

using namespace render_test;

namespace {

int Blend(int over, int under, double alpha) { return static_cast<int>(over * alpha + under * (1 - alpha) + 0.5); }

TEST(TitleFrame, BackgroundTitlePictureAndBlinkingPrompt) {
    int checked = 0;
    RunGame(40, [&](int frame) {
        // The back buffer holds frame 34, drawn after the 35th update: the prompt's blink is then
        // 255 - 3 × 34 = 153 (255 after the first update, 3 less each frame after).
        if (frame != 35) return;
        std::vector<uint32_t> p;
        ASSERT_TRUE(real::readBackBuffer(p));
        for (auto [x, y] : {std::pair{0, 0}, {639, 0}, {0, 479}, {639, 479}}) EXPECT_TRUE(Near(at(p, x, y), 200, 200, 200, 1));

        UINT titleW = 0, titleH = 0, promptW = 0, promptH = 0;
        const auto title = LoadPicture("data/texture/title.png", titleW, titleH);
        const auto prompt = LoadPicture("data/texture/pushenter.png", promptW, promptH);
        ASSERT_FALSE(title.empty() || prompt.empty());
        int opaque = 0, wrong = 0;
        double totalError = 0;
        for (UINT y = 0; y < titleH; ++y)
            for (UINT x = 0; x < titleW; ++x) {
                uint32_t t = title[y * titleW + x];
                if ((t >> 24) != 0xFF || 15 + x >= 640) continue;
                ++opaque;
                // Pixel centres sit 63/64 of a half pixel over, as wined3d places them to keep clear of
                // exact ties, so the filter takes in 1/128 of each neighbour: a few levels at sharp edges.
                uint32_t got = at(p, 15 + x, 20 + y);
                if (!Near(got, red(t), green(t), blue(t), 4)) ++wrong;
                totalError += std::abs(red(got) - red(t)) + std::abs(green(got) - green(t)) + std::abs(blue(got) - blue(t));
            }
        EXPECT_GT(opaque, 5000);
        EXPECT_EQ(wrong, 0) << "of " << opaque << " opaque title pixels";
        EXPECT_LT(totalError / (3.0 * opaque), 0.5);  // on average the picture is there texel for texel

        const double alpha = 153 / 255.0;
        int promptPixels = 0, promptWrong = 0;
        for (UINT y = 0; y < promptH; ++y)
            for (UINT x = 0; x < promptW && 390 + x < 640; ++x) {
                uint32_t t = prompt[y * promptW + x];
                if ((t >> 24) != 0xFF) continue;
                ++promptPixels;
                if (!Near(at(p, 390 + x, 350 + y), Blend(red(t), 200, alpha), Blend(green(t), 200, alpha),
                          Blend(blue(t), 200, alpha), 4))
                    ++promptWrong;
            }
        EXPECT_GT(promptPixels, 1000);
        EXPECT_EQ(promptWrong, 0) << "of " << promptPixels << " opaque prompt pixels";
        checked = 1;
    });
    EXPECT_EQ(checked, 1);
}

}  // namespace
