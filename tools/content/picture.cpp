// Canvas, noise, stroke lettering and PNG encoding for the generated pictures.
#include "tools/content/picture.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace content {

Rgba Mix(Rgba a, Rgba b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Canvas::Canvas(int w_, int h_, Rgba fill) : w(w_), h(h_), px(size_t(w_) * h_, fill) {}

void Canvas::Blend(int x, int y, Rgba c, float k) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    const float sa = std::clamp(c.a * k, 0.0f, 1.0f);
    if (sa <= 0) return;
    Rgba& d = At(x, y);
    const float oa = sa + d.a * (1 - sa);
    if (oa <= 0) return;
    d.r = (c.r * sa + d.r * d.a * (1 - sa)) / oa;
    d.g = (c.g * sa + d.g * d.a * (1 - sa)) / oa;
    d.b = (c.b * sa + d.b * d.a * (1 - sa)) / oa;
    d.a = oa;
}

uint32_t Hash(uint32_t a, uint32_t b, uint32_t c) {
    uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

float ValueNoise(float x, float y, float cell, uint32_t seed) {
    const float fx = x / cell, fy = y / cell;
    const int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    const float tx = fx - ix, ty = fy - iy;
    const float sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    auto v = [&](int a, int b) { return float(Hash(uint32_t(a), uint32_t(b), seed) & 0xFFFF) / 65535.0f; };
    const float top = v(ix, iy) + (v(ix + 1, iy) - v(ix, iy)) * sx;
    const float bot = v(ix, iy + 1) + (v(ix + 1, iy + 1) - v(ix, iy + 1)) * sx;
    return top + (bot - top) * sy;
}

float Fractal(float x, float y, float cell, int octaves, uint32_t seed) {
    float sum = 0, amp = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += ValueNoise(x, y, cell, seed + o * 101) * amp;
        norm += amp;
        amp *= 0.5f;
        cell *= 0.5f;
    }
    return sum / norm;
}

namespace {

struct P2 {
    float x, y;
};
using Stroke = std::vector<P2>;
struct Glyph {
    float width;
    std::vector<Stroke> strokes;
};

// An elliptic arc from a0 to a1 degrees (either direction), appended to a stroke.
void Arc(Stroke& s, float cx, float cy, float rx, float ry, float a0, float a1) {
    const int n = std::max(4, int(std::fabs(a1 - a0) / 10));
    for (int i = 0; i <= n; ++i) {
        const float a = (a0 + (a1 - a0) * float(i) / n) * 3.14159265f / 180.0f;
        s.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
}
Stroke ArcStroke(float cx, float cy, float rx, float ry, float a0, float a1) {
    Stroke s;
    Arc(s, cx, cy, rx, ry, a0, a1);
    return s;
}

// Capitals 10 units tall on the baseline y = 0, y up. Only the letters the game writes.
const std::map<char, Glyph>& Font() {
    static const std::map<char, Glyph> font = [] {
        std::map<char, Glyph> f;
        f['A'] = {6.4f, {{{0, 0}, {3.2f, 10}, {6.4f, 0}}, {{1.15f, 3.4f}, {5.25f, 3.4f}}}};
        f['C'] = {6.6f, {ArcStroke(3.6f, 5, 3.6f, 5, 48, 312)}};
        f['E'] = {5.0f, {{{5, 10}, {0, 10}, {0, 0}, {5, 0}}, {{0, 5.2f}, {4.2f, 5.2f}}}};
        f['F'] = {5.0f, {{{5, 10}, {0, 10}, {0, 0}}, {{0, 5.2f}, {4.2f, 5.2f}}}};
        Stroke g = ArcStroke(3.7f, 5, 3.7f, 5, 48, 360);
        g.push_back({7.4f, 4.6f});
        f['G'] = {7.4f, {g, {{7.4f, 4.6f}, {4.4f, 4.6f}}}};
        f['H'] = {6.2f, {{{0, 0}, {0, 10}}, {{6.2f, 0}, {6.2f, 10}}, {{0, 5.2f}, {6.2f, 5.2f}}}};
        f['I'] = {0.0f, {{{0, 0}, {0, 10}}}};
        f['K'] = {5.8f, {{{0, 0}, {0, 10}}, {{5.6f, 10}, {0, 3.8f}}, {{2.1f, 6.1f}, {5.8f, 0}}}};
        f['L'] = {5.0f, {{{0, 10}, {0, 0}, {5, 0}}}};
        f['M'] = {7.6f, {{{0, 0}, {0, 10}, {3.8f, 2.6f}, {7.6f, 10}, {7.6f, 0}}}};
        f['N'] = {6.2f, {{{0, 0}, {0, 10}, {6.2f, 0}, {6.2f, 10}}}};
        f['O'] = {7.6f, {ArcStroke(3.8f, 5, 3.8f, 5, 0, 360)}};
        Stroke p{{0, 0}, {0, 10}, {3.2f, 10}};
        Arc(p, 3.2f, 7.4f, 2.6f, 2.6f, 90, -90);
        p.push_back({0, 4.8f});
        f['P'] = {5.8f, {p}};
        f['Q'] = {7.6f, {ArcStroke(3.8f, 5, 3.8f, 5, 0, 360), {{4.6f, 2.6f}, {7.9f, -1.2f}}}};
        f['R'] = {6.0f, {p, {{3.0f, 4.8f}, {6.0f, 0}}}};
        Stroke s1 = ArcStroke(3.0f, 7.45f, 2.9f, 2.55f, 12, 270);
        Arc(s1, 3.0f, 2.55f, 3.1f, 2.55f, 90, -192);
        f['S'] = {6.1f, {s1}};
        f['T'] = {6.4f, {{{0, 10}, {6.4f, 10}}, {{3.2f, 10}, {3.2f, 0}}}};
        Stroke u{{0, 10}};
        Arc(u, 3.1f, 3.4f, 3.1f, 3.4f, 180, 360);
        u.push_back({6.2f, 10});
        f['U'] = {6.2f, {u}};
        f['Y'] = {6.4f, {{{0, 10}, {3.2f, 4.8f}, {6.4f, 10}}, {{3.2f, 4.8f}, {3.2f, 0}}}};
        f[' '] = {3.0f, {}};
        return f;
    }();
    return font;
}

}  // namespace

float TextWidth(const std::string& text, const TextStyle& st) {
    float w = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        auto it = Font().find(text[i]);
        if (it == Font().end()) continue;
        w += it->second.width + (i + 1 < text.size() ? st.spacing : 0);
    }
    return w * st.scale;
}

void TextDistance(std::vector<float>& field, int w, int h, const std::string& text, float x, float baseline,
                  const TextStyle& st) {
    if (field.size() != size_t(w) * h) field.assign(size_t(w) * h, 1e9f);
    const float reach = 24;  // pixels around a stroke in which the field is kept exact
    float pen = 0;
    for (char ch : text) {
        auto it = Font().find(ch);
        if (it == Font().end()) continue;
        for (const Stroke& s : it->second.strokes) {
            for (size_t k = 0; k + 1 < s.size(); ++k) {
                auto map = [&](P2 p) {
                    return P2{x + (pen + p.x + p.y * st.slant) * st.scale, baseline - p.y * st.scale};
                };
                const P2 a = map(s[k]), b = map(s[k + 1]);
                const int x0 = std::max(0, int(std::min(a.x, b.x) - reach));
                const int x1 = std::min(w - 1, int(std::max(a.x, b.x) + reach));
                const int y0 = std::max(0, int(std::min(a.y, b.y) - reach));
                const int y1 = std::min(h - 1, int(std::max(a.y, b.y) + reach));
                const float dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
                for (int py = y0; py <= y1; ++py)
                    for (int px = x0; px <= x1; ++px) {
                        const float qx = px + 0.5f - a.x, qy = py + 0.5f - a.y;
                        const float t = len2 > 0 ? std::clamp((qx * dx + qy * dy) / len2, 0.0f, 1.0f) : 0;
                        const float ex = qx - t * dx, ey = qy - t * dy;
                        float& f = field[size_t(py) * w + px];
                        f = std::min(f, std::sqrt(ex * ex + ey * ey));
                    }
            }
        }
        pen += it->second.width + st.spacing;
    }
}

void Shelf::Place(const Canvas& picture) {
    const int gap = 4;
    if (x > 0 && x + picture.w > sheet.w) x = 0, y += rowHeight + gap, rowHeight = 0;
    for (int py = 0; py < picture.h && y + py < sheet.h; ++py)
        for (int px = 0; px < picture.w && x + px < sheet.w; ++px) {
            const bool dark = ((px / 8) + (py / 8)) % 2;
            sheet.At(x + px, y + py) = dark ? Rgba{0.35f, 0.35f, 0.4f, 1} : Rgba{0.55f, 0.55f, 0.6f, 1};
            sheet.Blend(x + px, y + py, picture.px[size_t(py) * picture.w + px], 1);
        }
    x += picture.w + gap;
    rowHeight = std::max(rowHeight, picture.h);
}

std::vector<uint8_t> EncodePng(const Canvas& c, bool alpha) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t n) {
            auto* v = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
            v->insert(v->end(), data, data + n);
        },
        nullptr);
    const int channels = alpha ? 4 : 3;
    png_set_IHDR(png, info, c.w, c.h, 8, alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    std::vector<uint8_t> row(size_t(c.w) * channels);
    auto q = [](float v) { return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x) {
            const Rgba& p = c.px[size_t(y) * c.w + x];
            uint8_t* o = &row[size_t(x) * channels];
            o[0] = q(p.r), o[1] = q(p.g), o[2] = q(p.b);
            if (alpha) o[3] = q(p.a);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

}  // namespace content
