// The game's sounds, synthesised: footsteps and landings, the gun, the machines, the goal, the moor at night.
#include <algorithm>
#include <cmath>

#include "tools/content/generator.h"

namespace content {

namespace {

constexpr float kTau = 6.28318530717959f;
constexpr int kRate = 44100;

// A little deterministic white noise in -1..1.
class Noise {
public:
    explicit Noise(uint32_t seed) : s(seed * 2654435761u + 1) {}
    float Next() {
        s = s * 1664525u + 1013904223u;
        return float(int32_t(s >> 8) - (1 << 23)) / float(1 << 23);
    }

private:
    uint32_t s;
};

struct Buffer {
    explicit Buffer(float seconds, int rate = kRate) : rate(rate), v(size_t(seconds * rate), 0.0f) {}
    int rate;
    std::vector<float> v;
    float T(size_t i) const { return float(i) / rate; }
};

float Decay(float t, float tau) { return std::exp(-t / tau); }
float Attack(float t, float len) { return t >= len ? 1.0f : t / len; }

// A sine whose frequency glides exponentially from f0 to f1 over `glide` seconds.
void Sweep(Buffer& b, float start, float f0, float f1, float glide, float amp, float tau) {
    float phase = 0;
    for (size_t i = size_t(start * b.rate); i < b.v.size(); ++i) {
        const float t = b.T(i) - start;
        const float f = f0 * std::pow(f1 / f0, std::min(t / glide, 1.0f));
        phase += kTau * f / b.rate;
        b.v[i] += amp * std::sin(phase) * Decay(t, tau) * Attack(t, 0.003f);
    }
}

// Noise through a one-pole low-pass whose cut-off glides from c0 to c1 (0..1 of the sample rate's reach).
void Hiss(Buffer& b, float start, float len, float c0, float c1, float amp, float tau, uint32_t seed) {
    Noise n(seed);
    float lp = 0;
    for (size_t i = size_t(start * b.rate); i < b.v.size(); ++i) {
        const float t = b.T(i) - start;
        if (t > len) break;
        const float c = c0 + (c1 - c0) * (t / len);
        lp += c * (n.Next() - lp);
        b.v[i] += amp * lp * Decay(t, tau) * Attack(t, 0.002f);
    }
}

// A struck metal or glass: a few inharmonic partials, the higher ones dying sooner.
void Bell(Buffer& b, float start, float f, float amp, float tau, std::initializer_list<float> ratios) {
    int k = 0;
    for (float r : ratios) {
        const float a = amp / float(1 + k), tk = tau / (1 + 0.6f * k);
        for (size_t i = size_t(start * b.rate); i < b.v.size(); ++i) {
            const float t = b.T(i) - start;
            b.v[i] += a * std::sin(kTau * f * r * t) * Decay(t, tk) * Attack(t, 0.002f);
        }
        ++k;
    }
}

void Thud(Buffer& b, float start, float f, float amp, float tau, uint32_t seed) {
    Sweep(b, start, f * 1.8f, f, 0.04f, amp, tau);
    Hiss(b, start, tau * 3, 0.08f, 0.02f, amp * 1.6f, tau * 0.6f, seed);
}

std::vector<int16_t> Finish(Buffer& b, float peak, bool loop) {
    if (!loop) {
        // A short fade at the very end so that nothing stops on a click.
        const size_t tail = std::min<size_t>(b.v.size(), size_t(b.rate * 0.01f));
        for (size_t i = 0; i < tail; ++i) b.v[b.v.size() - 1 - i] *= float(i) / tail;
    }
    float m = 1e-9f;
    for (float x : b.v) m = std::max(m, std::fabs(x));
    std::vector<int16_t> out(b.v.size());
    for (size_t i = 0; i < b.v.size(); ++i) out[i] = int16_t(std::lround(b.v[i] / m * peak * 32767.0f));
    return out;
}

// One loop of noise low-passed around the circle, so that its end runs into its start.
std::vector<float> LoopedNoise(size_t n, float cut, uint32_t seed) {
    Noise rnd(seed);
    std::vector<float> white(n), out(n);
    for (float& w : white) w = rnd.Next();
    float lp = 0;
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < n; ++i) {
            lp += cut * (white[i] - lp);
            if (pass) out[i] = lp;
        }
    return out;
}

// The nearest frequency that fits a whole number of cycles into the loop.
float Fit(float f, float seconds) { return std::round(f * seconds) / seconds; }

std::vector<int16_t> ElevatorLoop() {
    const float len = 2.0f;
    Buffer b(len);
    const std::vector<float> hiss = LoopedNoise(b.v.size(), 0.05f, 77);
    for (size_t i = 0; i < b.v.size(); ++i) {
        const float t = b.T(i);
        const float wob = 1 + 0.15f * std::sin(kTau * Fit(2, len) * t);
        float hum = 0;
        for (int h = 1; h <= 6; ++h) hum += std::sin(kTau * Fit(55, len) * h * t + h) / float(h);
        b.v[i] = 0.5f * hum * wob + 0.35f * std::sin(kTau * Fit(330, len) * t) * (0.5f + 0.5f * std::sin(kTau * t)) +
                 1.5f * hiss[i];
    }
    return Finish(b, 0.6f, true);
}

std::vector<int16_t> MoorLoop() {
    // Twelve seconds of wind over the moor with a low drone and a far bell, every part repeating exactly.
    const float len = 12.0f;
    Buffer b(len, 22050);
    const std::vector<float> wind = LoopedNoise(b.v.size(), 0.03f, 101);
    const std::vector<float> gust = LoopedNoise(b.v.size(), 0.2f, 103);
    const float chord[] = {73.42f, 110.0f, 146.83f, 220.0f, 164.81f};
    for (size_t i = 0; i < b.v.size(); ++i) {
        const float t = b.T(i);
        float pad = 0;
        for (int k = 0; k < 5; ++k) {
            const float swell = 0.6f + 0.4f * std::sin(kTau * t / len * (k % 3 + 1) + k);
            pad += std::sin(kTau * Fit(chord[k], len) * t) * swell / float(k + 2);
        }
        const float breath = 0.55f + 0.45f * std::sin(kTau * t / len * 2 + 0.5f);
        b.v[i] = 0.55f * pad + 4.0f * wind[i] * breath + 0.4f * gust[i] * breath * breath;
    }
    // Two far bell notes; their tails run past the end and wrap round to the start.
    const float notes[][2] = {{2.5f, 587.33f}, {8.0f, 440.0f}};
    for (const auto& nt : notes)
        for (size_t j = 0; j < b.v.size(); ++j) {
            const float t = float(j) / b.rate;
            const float env = Decay(t, 1.6f) * Attack(t, 0.004f) * 0.12f;
            const size_t i = (size_t(nt[0] * b.rate) + j) % b.v.size();
            b.v[i] += env * (std::sin(kTau * nt[1] * t) + 0.4f * std::sin(kTau * nt[1] * 2.76f * t));
        }
    return Finish(b, 0.5f, true);
}

}  // namespace

std::vector<NamedSound> Sounds() {
    std::vector<NamedSound> s;
    auto one = [&](const char* name, Buffer b, float peak) {
        s.push_back({name, Finish(b, peak, false), b.rate, false});
    };
    {  // footstep on turf: a soft, dull thump
        Buffer b(0.16f);
        Thud(b, 0, 85, 0.5f, 0.035f, 1);
        Hiss(b, 0.005f, 0.06f, 0.3f, 0.05f, 0.12f, 0.02f, 2);
        one("bosu08.wav", b, 0.55f);
    }
    {  // hard landing: a click of boots and a heavier thump
        Buffer b(0.3f);
        Hiss(b, 0, 0.015f, 0.9f, 0.5f, 0.6f, 0.004f, 3);
        Thud(b, 0.004f, 70, 0.7f, 0.06f, 4);
        Bell(b, 0.0f, 1900, 0.06f, 0.02f, {1.0f, 1.47f});
        one("kachi44.wav", b, 0.7f);
    }
    {  // fall damage: a crunching impact with a sagging groan under it
        Buffer b(0.55f);
        Thud(b, 0, 55, 1.0f, 0.12f, 5);
        Hiss(b, 0, 0.2f, 0.5f, 0.05f, 0.5f, 0.05f, 6);
        Sweep(b, 0.02f, 240, 90, 0.35f, 0.35f, 0.18f);
        one("bosu20.wav", b, 0.8f);
    }
    {  // the shot, first part: a round, falling "puu" of the gun charging its bulge
        Buffer b(0.3f);
        Sweep(b, 0, 1150, 260, 0.22f, 0.6f, 0.09f);
        Sweep(b, 0, 2300, 520, 0.22f, 0.18f, 0.05f);
        one("puu35.wav", b, 0.6f);
    }
    {  // the shot, second part: the breech snapping back
        Buffer b(0.2f);
        Hiss(b, 0, 0.01f, 0.95f, 0.6f, 0.7f, 0.003f, 7);
        Bell(b, 0.003f, 1240, 0.3f, 0.03f, {1.0f, 1.51f, 2.27f, 3.1f});
        Thud(b, 0.0f, 140, 0.3f, 0.02f, 8);
        one("mecha07.wav", b, 0.65f);
    }
    {  // bulges released: a falling whoosh, the ground settling back
        Buffer b(0.7f);
        Hiss(b, 0, 0.65f, 0.35f, 0.02f, 0.9f, 0.35f, 9);
        Sweep(b, 0, 620, 110, 0.55f, 0.3f, 0.3f);
        one("mecha23_b.wav", b, 0.6f);
    }
    {  // door: a servo winding up and sliding, then the stop
        Buffer b(0.95f);
        float phase = 0;
        Noise n(10);
        float lp = 0;
        for (size_t i = 0; i < b.v.size(); ++i) {
            const float t = b.T(i);
            const float f = 90 + 60 * std::min(t / 0.3f, 1.0f);
            phase += kTau * f / b.rate;
            const float env = Attack(t, 0.05f) * (t < 0.7f ? 1.0f : Decay(t - 0.7f, 0.05f));
            lp += 0.1f * (n.Next() - lp);
            b.v[i] +=
                env * (0.3f * (std::sin(phase) + 0.5f * std::sin(2 * phase) + 0.25f * std::sin(3 * phase)) + 0.8f * lp);
        }
        Thud(b, 0.7f, 60, 0.6f, 0.07f, 11);
        Bell(b, 0.7f, 880, 0.05f, 0.08f, {1.0f, 2.4f});
        one("mecha32.wav", b, 0.65f);
    }
    s.push_back({"mecha00.wav", ElevatorLoop(), kRate, true});
    {  // elevator arrival: the clamp and a two-note chime
        Buffer b(1.1f);
        Thud(b, 0, 65, 0.6f, 0.06f, 12);
        Bell(b, 0.06f, 784, 0.3f, 0.35f, {1.0f, 2.0f, 3.01f});
        Bell(b, 0.26f, 587.33f, 0.3f, 0.45f, {1.0f, 2.0f, 3.01f});
        one("close01.wav", b, 0.6f);
    }
    {  // lever: a ratchet click and the handle landing
        Buffer b(0.25f);
        Hiss(b, 0, 0.008f, 0.9f, 0.7f, 0.6f, 0.003f, 13);
        Bell(b, 0.0f, 2100, 0.1f, 0.01f, {1.0f, 1.33f});
        Hiss(b, 0.07f, 0.012f, 0.8f, 0.4f, 0.7f, 0.004f, 14);
        Thud(b, 0.07f, 110, 0.45f, 0.04f, 15);
        one("bosu05.wav", b, 0.65f);
    }
    {  // laser beam on the player: a short, sharp warning beep
        Buffer b(0.11f);
        for (size_t i = 0; i < b.v.size(); ++i) {
            const float t = b.T(i);
            const float env = Attack(t, 0.004f) * std::min(1.0f, (0.11f - t) / 0.02f);
            b.v[i] = env *
                     (std::sin(kTau * 1760 * t) + 0.3f * std::sin(kTau * 3520 * t) + 0.15f * std::sin(kTau * 5280 * t));
        }
        one("beep07.wav", b, 0.5f);
    }
    {  // goal: a rising arpeggio of bells
        Buffer b(2.0f);
        const float notes[] = {523.25f, 659.26f, 783.99f, 1046.5f};
        for (int k = 0; k < 4; ++k) Bell(b, 0.11f * k, notes[k], 0.3f, 0.5f + 0.15f * k, {1.0f, 2.0f, 3.0f, 4.2f});
        Hiss(b, 0.33f, 1.2f, 0.6f, 0.2f, 0.06f, 0.4f, 16);
        one("mecha15.wav", b, 0.65f);
    }
    s.push_back({"mecha01.wav", MoorLoop(), 22050, true});
    {  // title confirm: a bright two-step blip
        Buffer b(0.35f);
        Bell(b, 0, 880, 0.35f, 0.06f, {1.0f, 2.0f});
        Bell(b, 0.07f, 1318.5f, 0.4f, 0.12f, {1.0f, 2.0f, 3.0f});
        one("cursor37.wav", b, 0.6f);
    }
    return s;
}

std::vector<uint8_t> EncodeWave(const std::vector<int16_t>& samples, int rate) {
    std::vector<uint8_t> out;
    out.reserve(44 + samples.size() * 2);
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
    };
    auto u16 = [&](uint16_t v) {
        out.push_back(uint8_t(v));
        out.push_back(uint8_t(v >> 8));
    };
    auto tag = [&](const char* t) {
        for (int i = 0; i < 4; ++i) out.push_back(uint8_t(t[i]));
    };
    const uint32_t bytes = uint32_t(samples.size() * 2);
    tag("RIFF");
    u32(36 + bytes);
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(uint32_t(rate));
    u32(uint32_t(rate) * 2);
    u16(2);
    u16(16);
    tag("data");
    u32(bytes);
    for (int16_t v : samples) u16(uint16_t(v));
    return out;
}

}  // namespace content
