// Pictures for the content generator: an RGBA canvas with soft shapes, value noise, a stroke font
// for the game's lettering, and the PNG writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace content {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;  // straight (not premultiplied) alpha, 0..1
};
Rgba Mix(Rgba a, Rgba b, float t);

class Canvas {
public:
    Canvas(int w, int h, Rgba fill = {});
    int w, h;
    std::vector<Rgba> px;
    Rgba& At(int x, int y) { return px[size_t(y) * w + x]; }
    // Source-over blend of colour c with coverage k (0..1).
    void Blend(int x, int y, Rgba c, float k);
};

// Smooth deterministic value noise in 0..1 with a lattice of `cell` pixels; `seed` picks the pattern.
float ValueNoise(float x, float y, float cell, uint32_t seed);
float Fractal(float x, float y, float cell, int octaves, uint32_t seed);
uint32_t Hash(uint32_t a, uint32_t b, uint32_t c);

// Distance field of stroked text: for every pixel the distance in pixels to the nearest stroke centre line.
struct TextStyle {
    float scale = 6;       // pixels per font unit (capitals are 10 units tall)
    float spacing = 2.2f;  // font units between letters
    float slant = 0;       // x shift per unit of height, for an italic lean
};
float TextWidth(const std::string& text, const TextStyle& st);  // in pixels
void TextDistance(std::vector<float>& field, int w, int h, const std::string& text, float x, float baseline,
                  const TextStyle& st);
inline float Coverage(float dist, float halfWidth) {
    const float c = halfWidth - dist + 0.5f;
    return c < 0 ? 0 : (c > 1 ? 1 : c);
}

// Lays pictures out left to right in rows, over a checkerboard so that their transparency shows: for
// looking at the content on one sheet.
class Shelf {
public:
    Shelf(Canvas& sheet, int top) : sheet(sheet), x(0), y(top) {}
    void Place(const Canvas& picture);
    int Bottom() const { return y + rowHeight; }

private:
    Canvas& sheet;
    int x, y, rowHeight = 0;
};

// 8-bit RGBA PNG bytes, or 8-bit RGB when `alpha` is false.
std::vector<uint8_t> EncodePng(const Canvas& c, bool alpha = true);

}  // namespace content
