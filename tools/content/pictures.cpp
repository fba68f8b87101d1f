// The game's pictures: screen overlays, lettering, the beam and sparkle, the crosshair and the stage surfaces.
#include "tools/content/generator.h"
#include "tools/content/picture.h"

#include <algorithm>
#include <cmath>

namespace content {

namespace {

constexpr float kPi = 3.14159265358979f;

float Smooth(float e0, float e1, float x) {
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// Lettering with a soft shadow, an outline and a vertical two-colour fill.
void Letter(Canvas& c, const std::string& text, float x, float baseline, const TextStyle& st, float halfWidth,
            float outline, Rgba top, Rgba bottom, Rgba edge, float shadowOffset) {
    std::vector<float> field, shadow;
    TextDistance(field, c.w, c.h, text, x, baseline, st);
    TextDistance(shadow, c.w, c.h, text, x + shadowOffset, baseline + shadowOffset, st);
    const float capTop = baseline - 10 * st.scale;
    for (int y = 0; y < c.h; ++y)
        for (int xx = 0; xx < c.w; ++xx) {
            const size_t i = size_t(y) * c.w + xx;
            if (shadowOffset > 0) {
                const float k = Smooth(halfWidth + outline + shadowOffset, halfWidth, shadow[i]);
                c.Blend(xx, y, {0.02f, 0.03f, 0.08f, 0.55f}, k);
            }
            c.Blend(xx, y, edge, Coverage(field[i], halfWidth + outline));
            const float t = std::clamp((y - capTop) / (baseline - capTop), 0.0f, 1.0f);
            Rgba fill = Mix(top, bottom, t);
            // A thin highlight along the upper part of every stroke gives the letters some body.
            c.Blend(xx, y, fill, Coverage(field[i], halfWidth));
        }
}

void Centred(Canvas& c, const std::string& text, float baseline, const TextStyle& st, float half, float outline,
             Rgba top, Rgba bottom, Rgba edge, float shadow) {
    Letter(c, text, (c.w - TextWidth(text, st)) / 2, baseline, st, half, outline, top, bottom, edge, shadow);
}

Canvas White() { return Canvas(3, 3, {1, 1, 1, 1}); }

Canvas Blood() {
    Canvas c(640, 480);
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const float nx = (x + 0.5f - 320) / 320, ny = (y + 0.5f - 240) / 240;
            const float d = std::sqrt(nx * nx * 0.9f + ny * ny * 1.1f);
            const float n = Fractal(float(x), float(y), 90, 4, 11);
            const float streak = Fractal(x * 3.0f, y * 0.5f, 60, 3, 29);
            const float a = Smooth(0.55f, 1.25f, d + (n - 0.5f) * 0.55f + (streak - 0.5f) * 0.2f);
            const float dark = 0.35f + 0.45f * Fractal(float(x), float(y), 30, 3, 47);
            c.At(x, y) = {0.55f * dark + 0.25f, 0.02f, 0.03f, a};
        }
    return c;
}

Canvas Title() {
    Canvas c(512, 128);
    TextStyle st;
    st.scale = 6.3f;
    st.spacing = 2.3f;
    st.slant = 0.12f;
    Centred(c, "QUILLMOOR", 92, st, 5.2f, 3.0f, {0.30f, 0.78f, 0.86f, 1}, {0.10f, 0.16f, 0.46f, 1},
            {0.97f, 0.96f, 0.90f, 1}, 4);
    // An ink stroke under the name, thick in the middle and sharp at both ends, like a quill's line.
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const float t = (x - 40.0f) / 432.0f;
            if (t < 0 || t > 1) continue;
            const float centre = 108 + 3 * std::sin(t * kPi * 2);
            const float half = 2.6f * std::sin(t * kPi);
            const float k = std::clamp(half - std::fabs(y + 0.5f - centre) + 0.5f, 0.0f, 1.0f);
            c.Blend(x, y, {0.10f, 0.16f, 0.46f, 0.9f}, k);
        }
    return c;
}

Canvas PushEnter() {
    Canvas c(256, 64);
    TextStyle st;
    st.scale = 3.1f;
    st.spacing = 2.0f;
    Centred(c, "PUSH ENTER", 48, st, 2.6f, 2.0f, {1, 1, 1, 1}, {0.85f, 0.9f, 1, 1}, {0.08f, 0.12f, 0.3f, 1}, 2);
    return c;
}

Canvas Clear() {
    Canvas c(640, 480);
    const float horizon = 300;
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            // Dawn over the moor: night blue overhead to a warm band at the horizon, the sun low on the right.
            const float t = std::clamp(y / horizon, 0.0f, 1.0f);
            Rgba sky = Mix({0.05f, 0.07f, 0.22f, 1}, {0.36f, 0.32f, 0.55f, 1}, Smooth(0, 0.7f, t));
            sky = Mix(sky, {0.98f, 0.66f, 0.38f, 1}, Smooth(0.55f, 1.0f, t));
            const float sx = x - 470.0f, sy = y - 285.0f, sd = std::sqrt(sx * sx + sy * sy);
            sky = Mix(sky, {1, 0.93f, 0.7f, 1}, std::exp(-sd / 55) * 0.9f);
            const float cloud = Fractal(x * 0.5f, y * 2.0f, 80, 4, 5);
            sky = Mix(sky, {0.95f, 0.6f, 0.55f, 1}, Smooth(0.55f, 0.8f, cloud) * 0.35f * t);
            if (Hash(uint32_t(x), uint32_t(y), 3) % 1400 == 0 && y < 170) sky = Mix(sky, {1, 1, 1, 1}, 1 - t * 1.5f);
            c.At(x, y) = sky;
            // Three ridges of heather moor, the nearest darkest, their crests catching the low sun.
            for (int r = 0; r < 3; ++r) {
                const float base = horizon - 25 + r * 48;
                const float ridge = base + 22 * std::sin(x * (0.006f + 0.003f * r) + r * 1.7f) +
                                    14 * (Fractal(float(x), float(r * 50), 70, 3, 60 + r) - 0.5f);
                if (y >= ridge - 1) {
                    const Rgba tones[3] = {{0.46f, 0.36f, 0.5f, 1}, {0.3f, 0.22f, 0.32f, 1}, {0.16f, 0.13f, 0.18f, 1}};
                    Rgba land =
                        Mix(tones[r], {0.22f, 0.3f, 0.16f, 1}, 0.45f * Fractal(float(x), float(y), 14, 3, 70 + r));
                    land = Mix(land, {1.0f, 0.7f, 0.45f, 1}, std::exp(-(y - ridge) / 3.0f) * (0.5f - 0.15f * r));
                    c.At(x, y) = Mix(c.At(x, y), land, Coverage(ridge - y - 0.5f, 0));
                }
            }
        }
    TextStyle big;
    big.scale = 8;
    big.spacing = 2.6f;
    Centred(c, "ALL CLEAR", 150, big, 6.0f, 3.5f, {1, 0.95f, 0.62f, 1}, {0.95f, 0.55f, 0.18f, 1},
            {0.12f, 0.08f, 0.2f, 1}, 5);
    TextStyle small;
    small.scale = 2.6f;
    small.spacing = 2.2f;
    Centred(c, "THANK YOU FOR PLAYING", 212, small, 2.2f, 1.8f, {1, 1, 1, 1}, {0.9f, 0.9f, 1, 1},
            {0.12f, 0.08f, 0.2f, 1}, 2);
    Centred(c, "PUSH ENTER", 446, small, 2.2f, 1.8f, {1, 1, 1, 1}, {0.85f, 0.9f, 1, 1}, {0.05f, 0.05f, 0.1f, 1}, 2);
    return c;
}

Canvas Laser() {
    Canvas c(128, 256);
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const float u = std::fabs((x + 0.5f) / 64.0f - 1);  // 0 at the centre line, 1 at the edges
            const float pulse = 0.8f + 0.2f * std::sin((y + 0.5f) / 256.0f * 2 * kPi * 4);
            const float core = std::exp(-u * u * 30);
            const float glow = std::exp(-u * u * 4) * pulse;
            const float edge = Smooth(1.0f, 0.85f, u);
            Rgba col = Mix({0.78f, 0.55f, 1.0f, 1}, {1, 1, 1, 1}, core);
            col.a = std::clamp(core + glow * 0.75f, 0.0f, 1.0f) * edge;
            c.At(x, y) = col;
        }
    return c;
}

Canvas Sparkles() {
    Canvas c(256, 64);
    for (int f = 0; f < 3; ++f) {
        const int rays = 4 + 2 * f;
        const float turn = f * 0.45f, len = 31.0f - f * 2;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const float dx = x + 0.5f - 32, dy = y + 0.5f - 32;
                const float r = std::sqrt(dx * dx + dy * dy), a = std::atan2(dy, dx) + turn;
                const float ray = std::pow(std::fabs(std::cos(a * rays / 2)), 10.0f) * Smooth(len, 0, r);
                const float core = std::exp(-r * r / (60.0f + f * 30));
                const float ring = std::exp(-std::pow((r - 10.0f - f * 6) / 2.6f, 2)) * 0.7f;
                const float k = std::clamp(ray + core + ring, 0.0f, 1.0f) * Smooth(31, 27, r);
                Rgba col = Mix({0.7f, 0.5f, 1, 1}, {1, 1, 1, 1}, std::clamp(core * 1.4f + ray * 0.5f, 0.0f, 1.0f));
                col.a = k;
                c.At(f * 64 + x, y) = col;
            }
    }
    return c;
}

Canvas Crosshair() {
    Canvas c(128, 128);
    for (int pass = 0; pass < 2; ++pass) {
        const Rgba col = pass ? Rgba{1, 1, 1, 0.95f} : Rgba{0.05f, 0.05f, 0.1f, 0.6f};
        const float half = pass ? 0.9f : 2.1f;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const float dx = x + 0.5f - 32, dy = y + 0.5f - 32, r = std::sqrt(dx * dx + dy * dy);
                float d = std::fabs(r - 11);  // the ring
                // Four ticks from 15 to 24 pixels out, and a dot.
                const float ax = std::fabs(dx), ay = std::fabs(dy);
                d = std::min(d, std::hypot(ax < 15 ? 15 - ax : (ax > 24 ? ax - 24 : 0), ay));
                d = std::min(d, std::hypot(ay < 15 ? 15 - ay : (ay > 24 ? ay - 24 : 0), ax));
                d = std::min(d, std::max(0.0f, r - 0.8f));
                c.Blend(x, y, col, Coverage(d, half));
            }
    }
    return c;
}

// Stage surfaces, 128 x 128 and seamless: the noise is sampled on a torus so the edges join.
float Tiled(float x, float y, float period, float cell, int oct, uint32_t seed) {
    const float a = x / period * 2 * kPi, b = y / period * 2 * kPi;
    const float R = period / (2 * kPi);
    return Fractal(R * std::cos(a) * 1.0f + R * std::sin(b) * 0.7f + 500,
                   R * std::sin(a) + R * std::cos(b) * 0.7f + 500, cell, oct, seed);
}

Canvas Stone() {
    Canvas c(128, 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            // Flagstones in a running bond, 64 x 32, with darker joints and moss in them.
            const int row = y / 32, off = (row % 2) * 32;
            const int bx = ((x + off) % 64), by = y % 32;
            const float joint = std::min({float(bx), float(63 - bx), float(by), float(31 - by)});
            const float n = Tiled(float(x), float(y), 128, 20, 4, 7);
            const uint32_t id = Hash(uint32_t((x + off) / 64), uint32_t(row), 9);
            const float tone = 0.45f + 0.12f * float(id % 100) / 100 + (n - 0.5f) * 0.25f;
            Rgba stone{tone * 0.98f, tone * 0.95f, tone * 0.88f, 1};
            const float mossy = Smooth(0.55f, 0.75f, Tiled(float(x), float(y), 128, 30, 3, 13));
            stone = Mix(stone, {0.28f, 0.38f, 0.18f, 1}, mossy * 0.5f);
            c.At(x, y) = Mix({0.16f, 0.2f, 0.12f, 1}, stone, Smooth(0.5f, 2.5f, joint));
        }
    return c;
}

Canvas Turf() {
    Canvas c(128, 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const float n = Tiled(float(x), float(y), 128, 24, 4, 21);
            const float blades = Tiled(float(x), float(y) * 0.5f, 128, 3, 2, 23);
            const float heather = Smooth(0.5f, 0.7f, Tiled(float(x), float(y), 128, 20, 2, 25)) *
                                  Smooth(0.4f, 0.7f, Tiled(float(x), float(y), 128, 3, 2, 27));
            Rgba g = Mix({0.22f, 0.32f, 0.12f, 1}, {0.45f, 0.52f, 0.22f, 1}, n * 0.7f + blades * 0.3f);
            c.At(x, y) = Mix(g, {0.45f, 0.26f, 0.45f, 1}, heather * 0.6f);
        }
    return c;
}

Canvas Plate() {
    Canvas c(128, 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            // Brushed steel plates of 64 x 64 with a bevel and a rivet in each corner.
            const int px = x % 64, py = y % 64;
            const float brush = Tiled(float(x) * 0.2f, float(y) * 4, 128, 8, 2, 31);
            float tone = 0.55f + (brush - 0.5f) * 0.12f + 0.05f * (Tiled(float(x), float(y), 128, 32, 3, 33) - 0.5f);
            const float e = std::min({float(px), float(63 - px), float(py), float(63 - py)});
            if (e < 1.5f)
                tone *= 0.55f;
            else if (e < 3.5f)
                tone *= (px < 4 || py < 4) ? 1.18f : 0.82f;
            Rgba col{tone * 0.95f, tone * 0.97f, tone, 1};
            for (int k = 0; k < 4; ++k) {
                const float rx = (k % 2 ? 56.0f : 8.0f) - (px + 0.5f), ry = (k / 2 ? 56.0f : 8.0f) - (py + 0.5f);
                const float r = std::sqrt(rx * rx + ry * ry);
                if (r < 3.2f)
                    col = Mix(col, {0.8f * (1 - ry * 0.08f), 0.8f * (1 - ry * 0.08f), 0.82f, 1}, Coverage(r, 2.5f));
            }
            c.At(x, y) = col;
        }
    return c;
}

Canvas Brick() {
    Canvas c(128, 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            // Dark peat-brick courses 32 x 16 in running bond.
            const int row = y / 16, off = (row % 2) * 16;
            const int bx = (x + off) % 32, by = y % 16;
            const float joint = std::min({float(bx), float(31 - bx), float(by), float(15 - by)});
            const uint32_t id = Hash(uint32_t((x + off) / 32), uint32_t(row), 41);
            const float n = Tiled(float(x), float(y), 128, 10, 3, 43);
            const float tone = 0.5f + 0.15f * float(id % 100) / 100 + (n - 0.5f) * 0.3f;
            Rgba brick{tone * 0.62f, tone * 0.45f, tone * 0.36f, 1};
            c.At(x, y) = Mix({0.25f, 0.24f, 0.22f, 1}, brick, Smooth(0.4f, 1.8f, joint));
        }
    return c;
}

// Soft clay for the surfaces a puzzle bends: warm, smooth, with a faint grid (16 pixels, two world
// units at the stages' scale of 16 units per repeat) that shows how finely it is cut.
Canvas Clay() {
    Canvas c(128, 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const float n = Tiled(float(x), float(y), 128, 24, 3, 51);
            const float streak = Tiled(float(x) * 0.5f, float(y) * 2, 128, 6, 2, 53);
            const float tone = 0.72f + (n - 0.5f) * 0.18f + (streak - 0.5f) * 0.06f;
            const Rgba clay{tone * 0.98f, tone * 0.66f, tone * 0.38f, 1};
            const int gx = x % 16, gy = y % 16;
            const float line = float(std::min({gx, 15 - gx, gy, 15 - gy}));
            c.At(x, y) = Mix({tone * 0.74f, tone * 0.45f, tone * 0.26f, 1}, clay, Smooth(0.0f, 1.2f, line));
        }
    return c;
}

// Warning stripes for the floor round a laser trap's lever: yellow and black bands at 45 degrees, worn
// at the edges, so that what the lever guards reads as danger before its lamp is seen.
Canvas Hazard() {
    Canvas c(128, 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const float band = std::fmod(float(x + y) + 0.5f, 32.0f);
            // Positive inside a yellow band, negative inside a black one: the distance to its edge.
            const float inside = band < 16.0f ? std::min(band, 16.0f - band) : -std::min(band - 16.0f, 32.0f - band);
            const float wear = Tiled(float(x), float(y), 128, 12, 3, 61);
            const float tone = 0.85f + (wear - 0.5f) * 0.25f;
            const Rgba yellow{tone * 0.95f, tone * 0.74f, tone * 0.08f, 1}, black{0.09f, 0.08f, 0.07f, 1};
            c.At(x, y) = Mix(black, yellow, Smooth(-0.8f, 0.8f, inside));
        }
    return c;
}

}  // namespace

std::vector<NamedPicture> Pictures() {
    return {
        {"white.png", White(), true},         {"blood.png", Blood(), true},         {"title.png", Title(), true},
        {"pushenter.png", PushEnter(), true}, {"clear.png", Clear(), false},        {"laser.png", Laser(), true},
        {"efe_hit.png", Sparkles(), true},    {"crosshair.png", Crosshair(), true}, {"stone.png", Stone(), false},
        {"turf.png", Turf(), false},          {"plate.png", Plate(), false},        {"brick.png", Brick(), false},
        {"clay.png", Clay(), false},          {"hazard.png", Hazard(), false},
    };
}

}  // namespace content
