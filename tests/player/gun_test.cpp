// The gun: the four slots as a queue, the lamps, the pick (laser traps included), the release, the
// spheres growing and shrinking as they are drawn, the gun's place, and the beam and sparkle as drawn.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/globals.h"
#include "headless/control.h"
#include "player/gun.h"
#include "player/player_world.h"
#include "resource/resource_cache.h"
#include "stage/stage_state.h"
#include "support/start_content.h"

using namespace testing_support;

namespace {

class Slab : public Obj {
public:
    Slab(ID3DXMesh* mesh, uint16_t code, D3DXVECTOR3 at) : Obj(mesh, code, at, 0, 0) {}
    void Update() override {}
    void Draw() override { ApplyBulge(this); }
};

class Gun : public PlayerWorld {
protected:
    void SetUp() override {
        PlayerWorld::SetUp();
        WriteText("data/xfile/gun.x", SmallMeshX(7));
        WriteText("data/xfile/sphere.x", SmallMeshX(1));
        ASSERT_TRUE(g_resourceCache->LoadMesh("gun.x"));
        ASSERT_TRUE(g_resourceCache->LoadMesh("sphere.x"));
        ASSERT_EQ(g_device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &g_laserTexture, nullptr),
                  D3D_OK);
        ASSERT_EQ(g_device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &g_hitTexture, nullptr),
                  D3D_OK);
        AddFloor();
        AddBoxes("wall.x", {{{-100, -10, 50}, {100, 100, 60}}});  // its corners are far from any hit
        PlaceAt({0, 12, 0});
    }
    void TearDown() override {
        g_laserTexture->Release();
        g_hitTexture->Release();
        g_laserTexture = g_hitTexture = nullptr;
        PlayerWorld::TearDown();
    }
    // A click: pressed in one frame, released in the next, both drawn.
    void Shoot() {
        Frame({VK_LBUTTON}, true);
        Frame({}, true);
    }
    int LampsOn() {
        MeshRecord* gun = g_resourceCache->Find("gun.x");
        int on = 0;
        for (int i = 4; i <= 6; ++i) {
            const D3DMATERIAL9& m = gun->materials[i];
            if (m.Diffuse.r == 1.0f && m.Diffuse.g == 0.1f && m.Diffuse.b == 0.1f && m.Diffuse.a == 0.5f &&
                m.Emissive.r == 1.0f && m.Ambient.a == 0.0f) {
                EXPECT_EQ(on, i - 4) << "lamps light from the first";
                ++on;
            } else {
                EXPECT_EQ(m.Diffuse.b, 1.0f);  // off is blue
                EXPECT_EQ(m.Emissive.b, 1.0f);
            }
        }
        return on;
    }
    static std::vector<const headless::RecordedDraw*> DrawsWith(IDirect3DTexture9* texture) {
        std::vector<const headless::RecordedDraw*> out;
        for (const auto& d : headless::recordedDraws())
            if (d.state.textures[0] == texture && d.stride == 24 && d.type == D3DPT_TRIANGLEFAN) out.push_back(&d);
        return out;
    }
    static D3DXVECTOR3 Vertex(const headless::RecordedDraw& d, int i) {
        D3DXVECTOR3 v;
        std::memcpy(&v, d.vertices.data() + 24 * i, sizeof v);
        return v;
    }
    static DWORD Colour(const headless::RecordedDraw& d, int i) {
        DWORD c;
        std::memcpy(&c, d.vertices.data() + 24 * i + 12, sizeof c);
        return c;
    }
};

D3DXVECTOR3 Ahead(float yawDegrees, float dist) {
    return {12.0f * 0 + dist * std::sin(yawDegrees * kDegToRad), 12.0f, dist * std::cos(yawDegrees * kDegToRad)};
}

TEST_F(Gun, FourHitsInARowHoldThreeAndLetTheFirstGo) {
    const float yaws[4] = {0.0f, 5.0f, 10.0f, 15.0f};
    for (int k = 0; k < 4; ++k) {
        g_player.yaw = yaws[k];
        size_t before = sounds.size();
        Shoot();
        EXPECT_EQ(Described(sounds, before), (std::vector<std::string>{"puu35.wav -1000 0", "mecha07.wav -2000 0"}));
        const D3DXVECTOR3 hit = Ahead(yaws[k], 50.0f / std::cos(yaws[k] * kDegToRad));
        EXPECT_NEAR(g_player.bulgeCenter[3].x, hit.x, 1e-3f) << k;
        EXPECT_NEAR(g_player.bulgeCenter[3].y, 12.0f, 1e-4f) << k;
        EXPECT_NEAR(g_player.bulgeCenter[3].z, 50.0f, 1e-3f) << k;
        EXPECT_EQ(LampsOn(), std::min(k + 1, 3)) << k;
    }
    EXPECT_FALSE(g_player.bulgeActive[0]);
    EXPECT_TRUE(g_player.bulgeActive[1]);
    EXPECT_TRUE(g_player.bulgeActive[2]);
    EXPECT_TRUE(g_player.bulgeActive[3]);
    // Slot 0 holds the first bulge, released and shrinking from the 2 · 1.1^6 it had reached.
    EXPECT_NEAR(g_player.bulgeCenter[0].x, 0.0f, 1e-3f);
    EXPECT_NEAR(g_player.bulgeRadius[0], 2.0f * std::pow(1.1f, 6) / 1.08f / 1.08f, 1e-4f);
    EXPECT_NEAR(g_player.bulgeCenter[1].x, Ahead(5.0f, 1).x * 50.0f / std::cos(5.0f * kDegToRad), 1e-3f);
}

TEST_F(Gun, AShotIntoOpenSpaceRestartsTheOldNewestBulge) {
    Shoot();
    const D3DXVECTOR3 first = g_player.bulgeCenter[3];
    g_player.yaw = 180.0f;  // nothing that way
    Frame({VK_LBUTTON});
    EXPECT_EQ(g_player.bulgeRadius[3], 2.0f);
    EXPECT_EQ(g_player.bulgeCenter[3], first);
    EXPECT_EQ(g_player.bulgeCenter[2], first);
    EXPECT_TRUE(g_player.bulgeActive[3]);
    EXPECT_TRUE(g_player.bulgeActive[2]);
    DrawOnly();
    EXPECT_EQ(LampsOn(), 2);  // the one bulge counts twice
}

TEST_F(Gun, ReleaseAndShotInOneFrameKeepTheNewBulge) {
    Shoot();
    Shoot();
    size_t before = sounds.size();
    Frame({VK_RBUTTON, VK_LBUTTON}, true);
    EXPECT_EQ(Described(sounds, before),
              (std::vector<std::string>{"mecha23_b.wav -1000 0", "puu35.wav -1000 0", "mecha07.wav -2000 0"}));
    EXPECT_FALSE(g_player.bulgeActive[0] || g_player.bulgeActive[1] || g_player.bulgeActive[2]);
    EXPECT_TRUE(g_player.bulgeActive[3]);
    EXPECT_EQ(LampsOn(), 1);
    before = sounds.size();
    Frame({VK_RBUTTON}, true);  // still held: the new one goes too, with the sound once
    Frame({VK_RBUTTON}, true);  // nothing left: no sound
    EXPECT_EQ(Described(sounds, before), std::vector<std::string>{"mecha23_b.wav -1000 0"});
    EXPECT_FALSE(g_player.bulgeActive[3]);
    EXPECT_EQ(LampsOn(), 0);
}

TEST_F(Gun, ALaserTrapTakesTheShotButNotThePlayer) {
    Obj* tail = &g_objRoot;
    while (tail->next) tail = tail->next;
    Obj* shape = AddBoxes("trap.x", {{{-2, 0, 0}, {2, 20, 2}}});
    ID3DXMesh* mesh = shape->mesh;
    tail->next = nullptr;
    delete shape;
    Slab* trap = new Slab(mesh, TYPE_LASER_TRAP, {0, 0, 30});
    tail->next = trap;
    trap->prev = tail;
    Shoot();
    EXPECT_NEAR(g_player.bulgeCenter[3].z, 30.0f, 1e-4f);
    EXPECT_TRUE(g_player.bulgeActive[3]);
    Frame({VK_RBUTTON});
    Frames(60, {'W'});  // walks through it
    EXPECT_GT(g_player.position.z, 33.0f);
}

TEST_F(Gun, ASphereGrowsToFortyFiveInItsThirtyThirdDrawnFrameAndIsGoneInTheFiftiethAfterRelease) {
    headless::recordDraws(true);
    Frame({VK_LBUTTON}, true);
    const D3DXVECTOR3 c = g_player.bulgeCenter[3];
    // The first drawn frame shows it at 2, in slot 3's colour.
    const headless::RecordedDraw* sphere = nullptr;
    for (const auto& d : headless::recordedDraws())
        if (d.state.world._11 == 2.0f && d.state.world._41 == c.x && d.state.world._43 == c.z) sphere = &d;
    ASSERT_NE(sphere, nullptr);
    EXPECT_EQ(sphere->state.world._22, 2.0f);
    EXPECT_EQ(sphere->state.world._42, c.y);
    EXPECT_FLOAT_EQ(sphere->state.material.Diffuse.a, 5.0f / 15.0f);
    EXPECT_FLOAT_EQ(sphere->state.material.Emissive.b, 0.63f);
    EXPECT_EQ(sphere->state.render[D3DRS_ZWRITEENABLE], static_cast<DWORD>(FALSE));
    headless::recordDraws(false);
    for (int k = 2; k <= 32; ++k) Frame({}, true);
    EXPECT_LT(g_player.bulgeRadius[3], 45.0f);  // 2 · 1.1^32 = 42.2
    Frame({}, true);
    EXPECT_EQ(g_player.bulgeRadius[3], 45.0f);
    Frames(5);  // not drawn: no growth
    EXPECT_EQ(g_player.bulgeRadius[3], 45.0f);
    Frame({VK_RBUTTON});
    for (int k = 1; k <= 49; ++k) Frame({}, true);
    EXPECT_GT(g_player.bulgeRadius[3], 1.0f);  // 45 / 1.08^49 = 1.04
    Frame({}, true);
    EXPECT_LE(g_player.bulgeRadius[3], 1.0f);
    const float idle = g_player.bulgeRadius[3];
    Frame({}, true);
    EXPECT_EQ(g_player.bulgeRadius[3], idle);
}

TEST_F(Gun, TheGunIsHeldRightLowAndAheadAndDroppedBesideADeadPlayer) {
    g_player.yaw = 90.0f;
    const D3DXVECTOR3 at = GunPosition();
    EXPECT_NEAR(at.x, 6.0f, 1e-5f);
    EXPECT_NEAR(at.y, 11.0f, 1e-5f);
    EXPECT_NEAR(at.z, -1.0f, 1e-5f);
    headless::recordDraws(true);
    DrawOnly();
    ASSERT_FALSE(headless::recordedDraws().empty());
    const D3DMATRIX& w = headless::recordedDraws().front().state.world;  // the gun is drawn first
    const float expected[16] = {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 6, 11, -1, 1};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR((&w._11)[i], expected[i], 1e-5f) << i;

    g_player.dead = true;
    headless::recordDraws(false);
    headless::recordDraws(true);
    DrawOnly();
    const D3DMATRIX& lying = headless::recordedDraws().front().state.world;
    // On its side (a quarter turn about z), 2 below the eye and 10 along +z whatever the view.
    const float dropped[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 10, 10, 1};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR((&lying._11)[i], dropped[i], 1e-5f) << i;
}

TEST_F(Gun, TheBeamRunsFromTheMuzzleToJustPastTheBulgeForTwentyFiveFrames) {
    std::srand(7);
    // The calls the shot frame makes, in order: the shake (x, y, z), then three per beam point.
    int shake[3], jitter[3];
    for (int& r : shake) r = std::rand();
    for (int& r : jitter) r = std::rand();
    (void)shake;
    PlaceAt({0, 12, -0.5f});  // 50.5 from the wall
    std::srand(7);
    headless::recordDraws(true);
    Frame({VK_LBUTTON}, true);
    auto beam = DrawsWith(g_laserTexture);
    auto sparkle = DrawsWith(g_hitTexture);
    // The eye is 50.5 from the bulge: points at 2, 3, ... 52 from the muzzle, 51 ribbons.
    ASSERT_EQ(beam.size(), 51u);
    ASSERT_EQ(sparkle.size(), 1u);
    const D3DXVECTOR3 muzzle(1, 11, 2.5f);
    D3DXVECTOR3 b = D3DXVECTOR3(0, 12, 50) - muzzle;
    D3DXVec3Normalize(&b, &b);
    const D3DXVECTOR3 j(static_cast<float>(jitter[0] % 10 - 5) / 10.0f, static_cast<float>(jitter[1] % 10 - 5) / 10.0f,
                        static_cast<float>(jitter[2] % 10 - 5) / 10.0f);
    const D3DXVECTOR3 cur = muzzle + 2.0f * b + j;
    const D3DXVECTOR3 corners[4] = {cur + D3DXVECTOR3(-0.5f, 0, 0), cur + D3DXVECTOR3(0.5f, 0, 0),
                                    muzzle + D3DXVECTOR3(0.5f, 0, 0), muzzle + D3DXVECTOR3(-0.5f, 0, 0)};
    for (int i = 0; i < 4; ++i) {
        D3DXVECTOR3 v = Vertex(*beam[0], i);
        EXPECT_NEAR(v.x, corners[i].x, 1e-5f) << i;
        EXPECT_NEAR(v.y, corners[i].y, 1e-5f) << i;
        EXPECT_NEAR(v.z, corners[i].z, 1e-5f) << i;
        EXPECT_EQ(Colour(*beam[0], i), 0xF5FFFFFFu);  // the shot frame's flash is 245
    }
    EXPECT_EQ(beam[0]->state.render[D3DRS_LIGHTING], static_cast<DWORD>(FALSE));
    // The last point is floor(50.5) + 2 from the muzzle along the beam, give or take its jitter.
    D3DXVECTOR3 last = Vertex(*beam.back(), 0) + D3DXVECTOR3(0.5f, 0, 0) - muzzle;
    EXPECT_NEAR(D3DXVec3Dot(&last, &b), 52.0f, 0.9f);
    // The sparkle: 5 × 5 at the bulge, within 0.3 of it on each axis.
    const D3DMATRIX& at = sparkle[0]->state.world;
    EXPECT_NEAR(at._41, 0.0f, 0.31f);
    EXPECT_NEAR(at._42, 12.0f, 0.31f);
    EXPECT_NEAR(at._43, 50.0f, 0.31f);
    EXPECT_EQ(Vertex(*sparkle[0], 1), D3DXVECTOR3(2.5f, 2.5f, 0.0f));

    int framesWithBeam = 1;
    for (int f = 0; f < 30; ++f) {
        headless::recordDraws(false);
        headless::recordDraws(true);
        Frame({}, true);
        if (!DrawsWith(g_laserTexture).empty()) {
            ++framesWithBeam;
            EXPECT_EQ(Colour(*DrawsWith(g_laserTexture)[0], 0) >> 24, 245u - 10u * f - 10u);
        }
    }
    EXPECT_EQ(framesWithBeam, 25);
}

TEST_F(Gun, ABeamFromTheBulgeItselfIsOneRibbonAndNoBeamRunsPastTheFarPlane) {
    g_player.shotFlash = 50;
    g_player.bulgeCenter[3] = D3DXVECTOR3(1, 11, 3);  // the muzzle
    headless::recordDraws(true);
    DrawOnly();
    EXPECT_EQ(DrawsWith(g_laserTexture).size(), 1u);

    // A centre left far away, as after a shot into nothing on a stage that kept an old one.
    g_player.bulgeCenter[3] = D3DXVECTOR3(0, 12, 1.0e9f);
    headless::recordDraws(false);
    headless::recordDraws(true);
    DrawOnly();
    auto beam = DrawsWith(g_laserTexture);
    EXPECT_EQ(beam.size(), 999u);
    const D3DXVECTOR3 muzzle(1, 11, 3);
    for (const auto* d : beam)
        for (int i = 0; i < 4; ++i) {
            D3DXVECTOR3 off = Vertex(*d, i) - muzzle;
            ASSERT_LE(D3DXVec3Length(&off), kBeamMaxLength + 1.0f);
        }
}

}  // namespace
