// The game's icon for desktop menus: a cream quill over a bulging blue sphere on a rounded navy tile,
// drawn at each size from the same shapes, 4 × 4 samples per pixel.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "tools/content/generator.h"

namespace content {

namespace {

constexpr float kPi = 3.14159265358979f;

// Signed distance to a rounded square covering [m, 1 - m]² with corner radius r (negative inside).
float RoundedSquare(float x, float y, float m, float r) {
    const float qx = std::fabs(x - 0.5f) - (0.5f - m - r), qy = std::fabs(y - 0.5f) - (0.5f - m - r);
    const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
}

// Source-over of c with coverage k onto d (straight alpha).
Rgba Over(Rgba d, Rgba c, float k) {
    const float sa = std::clamp(c.a * k, 0.0f, 1.0f);
    const float oa = sa + d.a * (1 - sa);
    if (oa <= 0) return {};
    return {(c.r * sa + d.r * d.a * (1 - sa)) / oa, (c.g * sa + d.g * d.a * (1 - sa)) / oa,
            (c.b * sa + d.b * d.a * (1 - sa)) / oa, oa};
}

// The icon at one point of the unit square (y down).
Rgba IconAt(float x, float y) {
    Rgba c{};
    // The tile: navy at the top to a deep teal at the bottom, with a lighter rim.
    const float tile = RoundedSquare(x, y, 0.03f, 0.17f);
    if (tile < 0) {
        const Rgba top{0.08f, 0.12f, 0.36f, 1}, bottom{0.10f, 0.34f, 0.48f, 1};
        c = Over(c, Mix(top, bottom, y), 1);
        c = Over(c, {0.45f, 0.70f, 0.90f, 1}, std::clamp(1 - (-tile) / 0.025f, 0.0f, 1.0f) * 0.6f);
    }
    // The bulge: a lit sphere low on the left.
    const float sx = x - 0.36f, sy = y - 0.64f, sr = 0.25f;
    const float sd = std::sqrt(sx * sx + sy * sy);
    if (sd < sr && tile < 0) {
        const float nz = std::sqrt(std::max(0.0f, 1 - (sd / sr) * (sd / sr)));
        const float light = std::clamp(0.35f + 0.65f * (nz * 0.7f - sx / sr * 0.3f - sy / sr * 0.4f), 0.0f, 1.0f);
        c = Over(c, Mix({0.12f, 0.30f, 0.62f, 1}, {0.55f, 0.85f, 0.98f, 1}, light), 1);
    }
    // The quill, from its nib at the lower left to its tip at the upper right.
    const float ax = 0.17f, ay = 0.88f, bx = 0.86f, by = 0.13f;
    const float dx = bx - ax, dy = by - ay, len = std::sqrt(dx * dx + dy * dy);
    const float u = ((x - ax) * dx + (y - ay) * dy) / (len * len);  // 0 at the nib, 1 at the tip
    const float v = ((x - ax) * -dy + (y - ay) * dx) / len;         // across, in icon units
    if (u > 0.22f && u < 1) {
        const float t = (u - 0.22f) / 0.78f;
        const float half = 0.125f * std::pow(std::sin(kPi * std::pow(t, 0.7f)), 0.8f);
        const float vane = half - std::fabs(v - 0.012f * std::sin(kPi * t));
        if (vane > 0) {
            const Rgba edge{0.30f, 0.78f, 0.86f, 1}, body{0.98f, 0.96f, 0.88f, 1};
            c = Over(c, Mix(edge, body, std::clamp(vane / 0.035f, 0.0f, 1.0f)), 1);
            // Barbs: faint slanted lines across the vane.
            const float barb = std::fabs(std::sin((u * 26 + std::fabs(v) * 18) * kPi));
            if (barb < 0.18f) c = Over(c, {0.70f, 0.80f, 0.86f, 1}, 0.5f);
        }
    }
    if (u > 0 && u < 0.97f && std::fabs(v) < 0.014f * (1 - 0.6f * u)) c = Over(c, {0.22f, 0.20f, 0.30f, 1}, 1);
    return c;
}

}  // namespace

std::vector<int> IconSizes() { return {16, 32, 48, 64, 128, 256}; }

Canvas Icon(int size) {
    Canvas c(size, size);
    constexpr int kSub = 4;
    for (int py = 0; py < size; ++py)
        for (int px = 0; px < size; ++px) {
            float r = 0, g = 0, b = 0, a = 0;  // premultiplied sums
            for (int j = 0; j < kSub; ++j)
                for (int i = 0; i < kSub; ++i) {
                    const Rgba s = IconAt((px + (i + 0.5f) / kSub) / size, (py + (j + 0.5f) / kSub) / size);
                    r += s.r * s.a;
                    g += s.g * s.a;
                    b += s.b * s.a;
                    a += s.a;
                }
            if (a > 0) c.At(px, py) = {r / a, g / a, b / a, a / (kSub * kSub)};
        }
    return c;
}

bool GenerateIcons(const std::string& iconDir, std::string* error) {
    namespace fs = std::filesystem;
    for (int size : IconSizes()) {
        const fs::path folder = fs::path(iconDir) / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
        std::error_code ec;
        fs::create_directories(folder, ec);
        const std::vector<uint8_t> png = EncodePng(Icon(size), true);
        std::ofstream out(folder / "quillmoor.png", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
        if (ec || !out) {
            if (error) *error = (folder / "quillmoor.png").string() + ": cannot write";
            return false;
        }
    }
    return true;
}

}  // namespace content
