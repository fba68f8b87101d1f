// The fixed models: the gun, the bulge sphere, the title emblem and every stage object's look.
#include <algorithm>
#include <cmath>

#include "tools/content/generator.h"

namespace content {

namespace {

constexpr float kPi = 3.14159265358979f;
const Frame kId;

// A surface given as a grid of points, seen from both sides (thin things like feathers and beams).
void TwoSided(Mesh& m, const std::vector<std::vector<Vec3>>& g, int mat) {
    const size_t rows = g.size(), cols = g[0].size();
    for (int side = 0; side < 2; ++side) {
        const uint32_t base = uint32_t(m.vertices.size());
        for (size_t r = 0; r < rows; ++r)
            for (size_t c = 0; c < cols; ++c) {
                const Vec3 du = g[r][std::min(c + 1, cols - 1)] - g[r][c ? c - 1 : 0];
                const Vec3 dv = g[std::min(r + 1, rows - 1)][c] - g[r ? r - 1 : 0][c];
                Vec3 n = Normalize(Cross(du, dv));
                if (side) n = n * -1.0f;
                m.Add({g[r][c], n, float(c) / (cols - 1), 1.0f - float(r) / (rows - 1)});
            }
        for (size_t r = 0; r + 1 < rows; ++r)
            for (size_t c = 0; c + 1 < cols; ++c) {
                const uint32_t a = base + uint32_t(r * cols + c), b = a + 1, d = a + uint32_t(cols), e = d + 1;
                if (side)
                    m.Quad(a, d, e, b, mat);
                else
                    m.Quad(a, b, e, d, mat);
            }
    }
}

Mesh Gun() {
    Mesh m;
    const int body = m.AddMaterial(Shiny(0.26f, 0.29f, 0.36f, 24));
    const int grip = m.AddMaterial(Colour(0.24f, 0.15f, 0.1f));
    const int brass = m.AddMaterial(Shiny(0.8f, 0.62f, 0.26f, 30));
    const int lens = m.AddMaterial(Glow(0.62f, 0.45f, 1.0f, 0.9f));
    const int lamp[3] = {m.AddMaterial(Lamp("lamp1", 0.1f, 0.1f, 1.0f, 0.5f)),
                         m.AddMaterial(Lamp("lamp2", 0.1f, 0.1f, 1.0f, 0.5f)),
                         m.AddMaterial(Lamp("lamp3", 0.1f, 0.1f, 1.0f, 0.5f))};
    const int chrome = m.AddMaterial(Shiny(0.7f, 0.72f, 0.76f, 40));  // after the lamps: they are 4, 5 and 6

    // Local axes: x right, y up, z forward; the eye sits behind the rear and above it, so the lamps
    // show both on the top rail and on the brass rear plate that faces the player. The beam is fired from
    // 3 behind the origin on the axis: the body is wider than the beam's ribbon (half a unit each side)
    // and hides its first two units, so the beam shows from the emitter lens on. The gun is short (it
    // ends a unit before its origin) so that it keeps to the lower right corner of the view, clear of
    // the crosshair and of whatever the player looks at.
    // The rear stays 0.14 clear of the title's axis, about which the gun circles 3 out.
    m.Box(kId, {-0.62f, -0.3f, -2.8f}, {0.62f, 0.3f, -1.3f}, body);
    m.Box(kId, {-0.17f, 0.3f, -2.6f}, {0.17f, 0.4f, -1.35f}, brass);
    m.Box(kId, {-0.56f, -0.24f, -2.86f}, {0.56f, 0.24f, -2.8f}, brass);
    for (int i = 0; i < 3; ++i) {
        const Frame top = Frame::At(0, 0.4f, -2.35f + 0.45f * i).RotX(-90);
        const Frame rear = Frame::At(-0.28f + 0.28f * i, 0.035f, -2.86f).RotY(180);
        for (const Frame& at : {top, rear}) {
            m.Cylinder(at, 0.09f, 0, 0.03f, 16, chrome, false);
            std::vector<Vec3> dome;
            for (int k = 0; k <= 6; ++k) {
                const float a = kPi / 2 * k / 6;
                dome.push_back({0.08f * std::cos(a), 0.03f + 0.07f * std::sin(a), 0});
            }
            m.Lathe(at, dome, 16, lamp[i]);
        }
    }
    // Cooling fins on both flanks.
    for (int i = 0; i < 3; ++i) {
        const float z = -2.3f + 0.35f * i;
        m.Box(kId, {-0.7f, -0.14f, z}, {-0.62f, 0.22f, z + 0.14f}, chrome);
        m.Box(kId, {0.62f, -0.14f, z}, {0.7f, 0.22f, z + 0.14f}, chrome);
    }
    // The coil housing with its glowing window, one brass band, and the emitter lens that closes it at
    // the front, where the beam comes out.
    m.Cylinder(kId.Move(0, 0.0f, 0), 0.64f, -1.45f, -1.05f, 28, body);
    m.Torus(kId.Move(0, 0.0f, -1.25f), 0.64f, 0.06f, 28, 8, lens);
    m.Torus(kId.Move(0, 0.0f, -1.05f), 0.6f, 0.05f, 24, 6, brass);
    std::vector<Vec3> tip;
    for (int k = 0; k <= 6; ++k) {
        const float a = kPi / 2 * k / 6;
        tip.push_back({0.53f * std::cos(a), -1.05f + 0.14f * std::sin(a), 0});
    }
    m.Lathe(kId, tip, 24, lens);
    // Grip and trigger, in the y-z plane, as thick as the body.
    const Frame side = kId.RotY(90);  // local x -> world -z, local z -> world x
    m.Prism(side, {{2.65f, -0.3f}, {2.05f, -0.3f}, {2.2f, -0.9f}, {2.8f, -0.9f}}, -0.26f, 0.26f, grip, grip);
    m.Prism(side, {{1.75f, -0.3f}, {1.6f, -0.3f}, {1.7f, -0.6f}, {1.85f, -0.6f}}, -0.06f, 0.06f, brass, brass);
    m.Box(kId, {-0.05f, -0.66f, -1.95f}, {0.05f, -0.6f, -1.45f}, brass);
    // Rear sight.
    m.Box(kId, {-0.1f, 0.3f, -2.75f}, {0.1f, 0.52f, -2.65f}, chrome);
    // Drawn smaller about the middle of its rear plate, which stays where it was: still wider than the
    // beam's ribbon, but a small shape in the corner of the view.
    const Vec3 rear{0, 0, -2.86f};
    for (Vertex& v : m.vertices) v.p = rear + (v.p - rear) * 0.82f;
    return m;
}

// The bulge sphere: not a solid shell but a lattice of bands (parallels every 30 degrees, meridians
// every 30), so that a sphere beside or around the player veils only a small part of what lies behind it.
// Its faces look outward: from inside, the back faces are culled and nothing is drawn.
Mesh Sphere() {
    Mesh m;
    m.AddMaterial(Colour(0.5f, 0.5f, 0.7f, 0.4f));
    const float band = 0.7f * kPi / 180;  // half the width of a band, as an angle
    auto point = [](float lon, float lat) {
        return Vec3{std::cos(lat) * std::cos(lon), std::sin(lat), std::cos(lat) * std::sin(lon)};
    };
    // One quad of the sphere between two longitudes and two latitudes, wound to face outward.
    auto patch = [&](float lon0, float lon1, float lat0, float lat1) {
        const Vec3 c[4] = {point(lon0, lat0), point(lon1, lat0), point(lon1, lat1), point(lon0, lat1)};
        const uint32_t base = uint32_t(m.vertices.size());
        for (int k = 0; k < 4; ++k)
            m.Add({c[k], c[k], lon0 == lon1 ? 0.0f : float(k == 1 || k == 2), float(k >= 2)});
        const Vec3 g = Cross(c[1] - c[0], c[2] - c[0]);
        if (Dot(g, c[0]) >= 0)
            m.Quad(base, base + 1, base + 2, base + 3, 0);
        else
            m.Quad(base, base + 3, base + 2, base + 1, 0);
    };
    const int around = 48;
    for (int k = -2; k <= 2; ++k) {  // parallels at -60, -30, 0, 30 and 60 degrees
        const float lat = k * 30.0f * kPi / 180;
        for (int j = 0; j < around; ++j)
            patch(2 * kPi * j / around, 2 * kPi * (j + 1) / around, lat - band, lat + band);
    }
    for (int j = 0; j < 12; ++j) {  // meridians, from pole to pole
        const float lon = j * 30.0f * kPi / 180;
        // They stop short of the poles, where twelve of them would crowd into a solid cap.
        for (int i = 1; i < 15; ++i) {
            const float lat0 = -kPi / 2 + kPi * i / 16, lat1 = -kPi / 2 + kPi * (i + 1) / 16;
            const float half = band / std::max(0.5f, std::cos(0.5f * (lat0 + lat1)));
            patch(lon - half, lon + half, lat0, lat1);
        }
    }
    return m;
}

// The title emblem: a quill standing in an inkwell inside a golden ring, turning about the y axis.
Mesh Title() {
    Mesh m;
    const int cream = m.AddMaterial(Shiny(0.96f, 0.93f, 0.84f, 10));
    const int teal = m.AddMaterial(Colour(0.12f, 0.5f, 0.58f));
    const int gold = m.AddMaterial(Shiny(0.92f, 0.72f, 0.25f, 40));
    const int ink = m.AddMaterial(Shiny(0.08f, 0.1f, 0.32f, 60));
    const int steel = m.AddMaterial(Shiny(0.3f, 0.32f, 0.38f, 40));

    auto shaftX = [](float y) {
        const float t = (y - 16) / 7.2f;
        return 0.25f * t * t * t;
    };
    // Shaft: tapering from the nib to the tip, following the feather's curve in small pieces.
    // It stays within 0.1 of the axis where the circling gun passes (y 18.9 to 20.6).
    for (int i = 0; i < 12; ++i) {
        const float y0 = 16.6f + i * (23.7f - 16.6f) / 12, y1 = y0 + (23.7f - 16.6f) / 12;
        const float r0 = 0.1f - 0.06f * (y0 - 16.6f) / 7.1f, r1 = 0.1f - 0.06f * (y1 - 16.6f) / 7.1f;
        const Frame f = Frame::At(shaftX(y0), y0, 0).RotX(-90);
        m.Lathe(f, {{r0, 0, 0}, {r1, y1 - y0, 0}}, 10, cream);
    }
    // The steel nib dipping into the ink.
    m.Lathe(Frame::At(0, 15.6f, 0).RotX(-90), {{0, 0, 0}, {0.14f, 1.0f, 0}, {0.1f, 1.05f, 0}}, 12, steel, false);
    // Vane: barred bands of cream and teal, barbs sweeping upward from the shaft, wider on the right.
    const int bands = 6;
    for (int b = 0; b < bands; ++b) {
        for (int sideSign = -1; sideSign <= 1; sideSign += 2) {
            std::vector<std::vector<Vec3>> g;
            for (int r = 0; r <= 3; ++r) {
                const float y = 20.9f + (23.6f - 20.9f) * (b * 3 + r) / float(bands * 3);
                const float t = (y - 20.9f) / 2.7f;
                const float width = (sideSign > 0 ? 1.6f : 1.05f) *
                                        std::pow(std::max(0.0f, std::sin(kPi * std::min(t * 1.1f, 1.0f))), 0.6f) +
                                    0.05f;
                std::vector<Vec3> row;
                for (int c = 0; c <= 4; ++c) {
                    const float s = c / 4.0f;
                    // The barbs sweep upward and curl back in proportion to their length.
                    row.push_back({shaftX(y) + sideSign * width * s, y + 0.4f * width * s * s, 0.45f * width * s * s});
                }
                g.push_back(row);
            }
            TwoSided(m, g, b % 2 == 1 ? teal : cream);
        }
    }
    // Inkwell and ring.
    m.Lathe(Frame::At(0, 13.8f, 0).RotX(-90),
            {{0, 0, 0},
             {1.3f, 0, 0},
             {1.3f, 0, 0},
             {1.5f, 0.8f, 0},
             {1.2f, 2.0f, 0},
             {0.6f, 2.3f, 0},
             {0.6f, 2.3f, 0},
             {0.7f, 2.6f, 0},
             {0.7f, 2.6f, 0},
             {0.3f, 2.6f, 0},
             {0.3f, 2.6f, 0},
             {0, 2.45f, 0}},
            24, ink);
    m.Torus(Frame::At(0, 14.6f, 0).RotX(-90), 3.4f, 0.24f, 48, 10, gold);
    m.Torus(Frame::At(0, 14.6f, 0).RotX(-90), 2.3f, 0.1f, 48, 6, gold);
    // Drawn to fit between the title picture above and the bottom of the screen: shrink it about the
    // height at which the gun circles, so that the bare shaft is still all the gun passes.
    const Vec3 c{0, 19.75f, 0};
    for (Vertex& v : m.vertices) v.p = c + (v.p - c) * 0.78f;
    return m;
}

Mesh Door() {
    Mesh m;
    const int plate = m.AddMaterial(Textured("data/texture/plate.png", 0.75f, 0.78f, 0.82f));
    const int lamp = m.AddMaterial(Lamp("lamp", 1.0f, 0.1f, 0.1f));
    const int amber = m.AddMaterial(Shiny(0.9f, 0.62f, 0.12f, 20));
    // One quarter of an 80 x 80 door: the panel that slides toward +x, -y, 40 to open, which clears its
    // quarter whole. The door is far wider than the passages it closes: its edges reach 28 into the
    // walls, so that a shot which tilts a wall back beside it never opens a gap round it. Cut into a
    // 4-unit grid, so that a shot dents it smoothly instead of flinging its few corners out
    // to the bulge's sphere.
    m.Box(kId, {0, -40, -0.8f}, {40, 0, 0.8f}, plate, 0, 4.0f);
    m.Box(kId, {0, -1.2f, -0.95f}, {40, 0, 0.95f}, amber, 0, 4.0f);
    m.Box(kId, {0, -40, -0.95f}, {1.2f, -1.2f, 0.95f}, amber, 0, 4.0f);
    // The lamp: a quarter ring round the door's centre, so a shut door shows a full ring.
    for (int i = 0; i < 6; ++i) {
        const float a0 = (-90 + 15.0f * i) * kPi / 180, a1 = (-90 + 15.0f * (i + 1)) * kPi / 180;
        const float r0 = 2.6f, r1 = 4.0f;
        m.Prism(kId,
                {{r0 * std::cos(a0), r0 * std::sin(a0)},
                 {r1 * std::cos(a0), r1 * std::sin(a0)},
                 {r1 * std::cos(a1), r1 * std::sin(a1)},
                 {r0 * std::cos(a1), r0 * std::sin(a1)}},
                -1.1f, 1.1f, lamp, lamp);
    }
    return m;
}

Mesh Elevator() {
    Mesh m;
    const int deck = m.AddMaterial(Textured("data/texture/plate.png", 0.8f, 0.8f, 0.85f));
    const int under = m.AddMaterial(Shiny(0.22f, 0.24f, 0.3f, 20));
    const int lamp = m.AddMaterial(Lamp("lamp", 1.0f, 0.1f, 0.1f));
    // A 24 x 24 deck, its top at the object's origin.
    m.Box(kId, {-12, -1.5f, -12}, {12, 0, 12}, deck, 8);
    m.Box(kId, {-11, -4, -11}, {11, -1.5f, 11}, under);
    m.Box(kId, {-4, -7, -4}, {4, -4, 4}, under);
    for (int sx = -1; sx <= 1; sx += 2)
        for (int sz = -1; sz <= 1; sz += 2)
            m.Cylinder(Frame::At(sx * 10.2f, 0, sz * 10.2f).RotX(-90), 0.8f, -0.2f, 0.12f, 16, lamp);
    // Lamp strips round the sides of the deck.
    m.Box(kId, {-10, -1.1f, -12.1f}, {10, -0.5f, -12}, lamp);
    m.Box(kId, {-10, -1.1f, 12}, {10, -0.5f, 12.1f}, lamp);
    m.Box(kId, {-12.1f, -1.1f, -10}, {-12, -0.5f, 10}, lamp);
    m.Box(kId, {12, -1.1f, -10}, {12.1f, -0.5f, 10}, lamp);
    return m;
}

Mesh Goal() {
    Mesh m;
    const int stone = m.AddMaterial(Colour(0.34f, 0.36f, 0.42f));
    const int light = m.AddMaterial(Glow(0.98f, 0.82f, 0.4f));
    const int brass = m.AddMaterial(Shiny(0.85f, 0.66f, 0.28f, 40));
    const int gem = m.AddMaterial(Glow(0.45f, 0.9f, 1.0f, 0.85f));
    const Frame up = kId.RotX(-90);  // local z -> world y
    m.Lathe(up,
            {{0, 0, 0}, {8.5f, 0, 0}, {8.5f, 0, 0}, {8.5f, 0.3f, 0}, {8.0f, 0.6f, 0}, {8.0f, 0.6f, 0}, {0, 0.6f, 0}},
            40, stone);
    m.Lathe(up, {{5.6f, 0.63f, 0}, {0, 0.63f, 0}}, 40, light);
    m.Torus(Frame::At(0, 0.6f, 0).RotX(-90), 6.8f, 0.35f, 48, 8, brass);
    // A faceted gem floating well above head height, and a slim ring round it.
    m.Lathe(Frame::At(0, 17, 0).RotX(-90), {{0, 0, 0}, {1.8f, 3.2f, 0}, {0, 6.0f, 0}}, 6, gem, false);
    m.Torus(Frame::At(0, 20.2f, 0).RotX(-90), 3.2f, 0.14f, 40, 6, brass);
    return m;
}

Mesh LaserTrap() {
    Mesh m;
    const int shell = m.AddMaterial(Shiny(0.24f, 0.25f, 0.3f, 30));
    const int band = m.AddMaterial(Shiny(0.95f, 0.72f, 0.1f, 20));
    const int eye = m.AddMaterial(Glow(1.0f, 0.15f, 0.1f));
    // A sentinel orb looking down its local -z axis, the way its beam goes; big, banded in warning
    // yellow and ringed with a glowing red belt, so that it reads as danger across a hall.
    m.Sphere(kId, 3.2f, 24, 12, shell);
    m.Torus(kId, 3.2f, 0.3f, 32, 8, band);
    m.Torus(kId.RotY(90), 3.2f, 0.22f, 32, 6, band);
    m.Torus(kId.RotX(90), 3.25f, 0.18f, 32, 6, eye);
    m.Cylinder(kId, 1.2f, -4.1f, -2.6f, 20, shell);
    m.Lathe(kId, {{0, -4.3f, 0}, {1.0f, -4.1f, 0}}, 20, eye);
    return m;
}

Mesh LaserBeam() {
    Mesh m;
    Material glow = Glow(1.0f, 0.25f, 0.2f, 0.9f);
    glow.texture = "data/texture/laser.png";
    const int beam = m.AddMaterial(glow);
    // Two crossed ribbons from 0 to -1 along z, stretched by the trap to the length of the beam; 1.6
    // wide, so that the beam is seen across a hall although it is drawn every second frame only.
    for (int k = 0; k < 2; ++k) {
        std::vector<std::vector<Vec3>> g;
        for (int r = 0; r <= 1; ++r) {
            const float z = -float(r);
            g.push_back(k ? std::vector<Vec3>{{-0.8f, 0, z}, {0.8f, 0, z}}
                          : std::vector<Vec3>{{0, -0.8f, z}, {0, 0.8f, z}});
        }
        TwoSided(m, g, beam);
    }
    return m;
}

Mesh Lever(bool on) {
    Mesh m;
    const int dark = m.AddMaterial(Shiny(0.22f, 0.24f, 0.28f, 20));
    const int plate = m.AddMaterial(Textured("data/texture/plate.png", 0.75f, 0.78f, 0.8f));
    const int brass = m.AddMaterial(Shiny(0.85f, 0.64f, 0.26f, 40));
    const int knob = m.AddMaterial(on ? Glow(0.2f, 1.0f, 0.3f) : Glow(1.0f, 0.2f, 0.15f));
    m.Box(kId, {-2.6f, 0, -2.6f}, {2.6f, 1, 2.6f}, dark);
    m.Box(kId, {-1.3f, 1, -1.3f}, {1.3f, 7, 1.3f}, plate);
    m.Box(kId, {-2.0f, 7, -1.7f}, {2.0f, 8.2f, 1.7f}, brass);
    m.Box(kId, {-0.4f, 8.2f, -1.4f}, {0.4f, 8.4f, 1.4f}, dark);
    // The handle leans toward +z when on and toward -z when off.
    const Frame arm = Frame::At(0, 8.3f, 0).RotX(on ? -55 : -125);
    m.Cylinder(arm, 0.28f, 0, 3.4f, 12, dark);
    m.Sphere(arm.Move(0, 0, 3.6f), 0.75f, 16, 8, knob);
    // A small lamp on the front repeating the state.
    m.Sphere(Frame::At(0, 7.6f, -1.75f), 0.35f, 12, 6, knob);
    return m;
}

Mesh Step() {
    Mesh m;
    const int clay = m.AddMaterial(Textured("data/texture/clay.png", 1.0f, 1.0f, 1.0f));
    const int rim = m.AddMaterial(Shiny(0.3f, 0.3f, 0.36f, 20));
    // A 20 x 20 slab of clay, top at the origin, finely divided so that a bulge bends it.
    m.Box(kId, {-10, -2.5f, -10}, {10, 0, 10}, clay, 16, 2);
    m.Box(kId, {-9, -3.5f, -9}, {9, -2.5f, 9}, rim, 0, 2);
    return m;
}

Mesh PlayerBody() {
    Mesh m;
    m.AddMaterial(Colour(1, 1, 1, 0));
    // Around the eye, from the feet 12 below to just over the head.
    m.Cylinder(kId.RotX(-90), 2.5f, -12, 2, 12, 0);
    return m;
}

}  // namespace

std::vector<NamedMesh> Models() {
    return {
        {"gun.x", Gun()},           {"sphere.x", Sphere()},       {"title.x", Title()},     {"door.x", Door()},
        {"elevator.x", Elevator()}, {"goal.x", Goal()},           {"ltrap.x", LaserTrap()}, {"laser.x", LaserBeam()},
        {"leveron.x", Lever(true)}, {"leveroff.x", Lever(false)}, {"step.x", Step()},       {"plycol.x", PlayerBody()},
    };
}

}  // namespace content
