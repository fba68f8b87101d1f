// quillmoor_contact_sheet GAME_DIR OUT.png: every generated mesh drawn by the game's own device and mesh
// cache (a real window, so an X server is needed), beside every picture, on one sheet.
#include <d3d9.h>
#include <d3dx9.h>
#include <png.h>
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/globals.h"
#include "tools/common/game_device.h"
#include "gl/control.h"
#include "resource/resource_cache.h"
#include "tools/content/picture.h"

namespace {

using content::Canvas;

constexpr float kDeg = 0.01745329238474369f;

struct View {
    D3DXVECTOR3 eye, at;
};

D3DXVECTOR3 Bounds(ID3DXMesh* mesh, D3DXVECTOR3& lo) {
    void* data = nullptr;
    D3DXVECTOR3 hi(-1e9f, -1e9f, -1e9f);
    lo = D3DXVECTOR3(1e9f, 1e9f, 1e9f);
    mesh->LockVertexBuffer(0, &data);
    for (DWORD i = 0; i < mesh->GetNumVertices(); ++i) {
        const float* p = reinterpret_cast<const float*>(static_cast<const char*>(data) + 32 * i);
        lo = D3DXVECTOR3(std::min(lo.x, p[0]), std::min(lo.y, p[1]), std::min(lo.z, p[2]));
        hi = D3DXVECTOR3(std::max(hi.x, p[0]), std::max(hi.y, p[1]), std::max(hi.z, p[2]));
    }
    mesh->UnlockVertexBuffer();
    return hi;
}

void Camera(const View& v) {
    D3DXMATRIX view, proj;
    const D3DXVECTOR3 up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &v.eye, &v.at, &up);
    D3DXMatrixPerspectiveFovLH(&proj, 50 * kDeg, 4.0f / 3.0f, 1.0f, 1000.0f);
    g_device->SetTransform(D3DTS_VIEW, &view);
    g_device->SetTransform(D3DTS_PROJECTION, &proj);
}

void World(const D3DXMATRIX& m) { g_device->SetTransform(D3DTS_WORLD, &m); }

// One frame: clear to the game's grey, draw, read back.
template <typename F>
std::vector<uint32_t> Frame(F draw) {
    g_device->BeginScene();
    g_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF969696, 1.0f, 0);
    g_device->SetRenderState(D3DRS_LIGHTING, TRUE);
    g_device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    g_device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    g_device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    draw();
    g_device->EndScene();
    std::vector<uint32_t> px;
    real::readBackBuffer(px);
    g_device->Present(nullptr, nullptr, nullptr, nullptr);
    return px;
}

// A 640 x 480 frame shrunk to half size into the sheet, with a caption-free 2-pixel gap.
void Put(Canvas& sheet, const std::vector<uint32_t>& px, int ox, int oy) {
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            float r = 0, g = 0, b = 0;
            for (int k = 0; k < 4; ++k) {
                const uint32_t c = px[size_t(2 * y + k / 2) * 640 + 2 * x + k % 2];
                r += ((c >> 16) & 255) / 1020.0f, g += ((c >> 8) & 255) / 1020.0f, b += (c & 255) / 1020.0f;
            }
            if (ox + x < sheet.w && oy + y < sheet.h) sheet.At(ox + x, oy + y) = {r, g, b, 1};
        }
}

bool ReadPicture(const std::string& path, Canvas& out) {
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&img, path.c_str())) return false;
    img.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> buf(PNG_IMAGE_SIZE(img));
    if (!png_image_finish_read(&img, nullptr, buf.data(), 0, nullptr)) return false;
    out = Canvas(int(img.width), int(img.height));
    for (size_t i = 0; i < out.px.size(); ++i)
        out.px[i] = {buf[4 * i] / 255.0f, buf[4 * i + 1] / 255.0f, buf[4 * i + 2] / 255.0f, buf[4 * i + 3] / 255.0f};
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s GAME_DIR OUT.png\n", argv[0]);
        return 2;
    }
    const std::string out = std::filesystem::absolute(argv[2]).string();
    std::filesystem::current_path(argv[1]);
    real::autoAnswerMessageBoxes(IDOK);
    real::setUnpaced(true);
    HWND wnd = game_device::OpenWindow("Quillmoor contact sheet");
    if (!wnd) {
        std::fprintf(stderr, "no window: is DISPLAY set?\n");
        return 1;
    }
    IDirect3D9* d3d = nullptr;
    if (!game_device::CreateDevice(wnd, true, d3d, g_device)) {
        std::fprintf(stderr, "no device\n");
        return 1;
    }
    SetUpRenderStates();
    g_resourceCache = new ResourceCache();

    // "plycol.x", the player's body, is never drawn by the game and is left out.
    const char* names[] = {"gun.x",   "sphere.x", "title.x",   "door.x",     "elevator.x", "goal.x",
                           "ltrap.x", "laser.x",  "leveron.x", "leveroff.x", "step.x",     "sample.x"};
    std::vector<std::vector<uint32_t>> frames;
    D3DXMATRIX id;
    D3DXMatrixIdentity(&id);
    for (const char* name : names) {
        if (!g_resourceCache->LoadMesh(name)) {
            std::fprintf(stderr, "%s does not load\n", name);
            return 1;
        }
        MeshRecord* rec = g_resourceCache->Find(name);
        D3DXVECTOR3 lo, hi = Bounds(rec->mesh, lo);
        const bool door = std::string(name) == "door.x";
        if (door) lo = D3DXVECTOR3(-20, -20, -1), hi = D3DXVECTOR3(20, 20, 1);
        const D3DXVECTOR3 centre = (lo + hi) * 0.5f, span = hi - lo;
        const float r = D3DXVec3Length(&span) * 0.5f;
        D3DXVECTOR3 dir(-0.8f, 0.7f, -1.2f);
        D3DXVec3Normalize(&dir, &dir);
        frames.push_back(Frame([&] {
            Camera({centre + dir * (r / std::tan(25 * kDeg) * 1.1f), centre});
            if (door) {
                // The whole door: the panel four times, turned by 90 degrees, a little open.
                for (int i = 0; i < 4; ++i) {
                    D3DXMATRIX s, rz, w;
                    D3DXMatrixTranslation(&s, 4, -4, 0);
                    D3DXMatrixRotationZ(&rz, 90 * i * kDeg);
                    w = s * rz;
                    World(w);
                    rec->Draw();
                }
            } else {
                World(id);
                rec->Draw();
            }
        }));
    }
    // As the player sees the gun, and as the title shows the emblem with the gun circling it.
    frames.push_back(Frame([&] {
        Camera({D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 1)});
        D3DXMATRIX w;
        D3DXMatrixTranslation(&w, 1, -1, 6);
        World(w);
        g_resourceCache->Find("gun.x")->Draw();
    }));
    frames.push_back(Frame([&] {
        g_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFC8C8C8, 1.0f, 0);
        Camera({D3DXVECTOR3(5, 22, -15), D3DXVECTOR3(5, 20, 0)});
        D3DXMATRIX ry, t0, t1, w;
        D3DXMatrixRotationY(&ry, 30 * kDeg);
        World(ry);
        g_resourceCache->Find("title.x")->Draw();
        D3DXMatrixTranslation(&t0, 0, 0, 3);
        D3DXMatrixTranslation(&t1, 0, 20, 0);
        w = t0 * ry * t1;
        World(w);
        g_resourceCache->Find("gun.x")->Draw();
    }));

    const int cols = 4;
    const int meshRows = int(frames.size() + cols - 1) / cols;
    Canvas sheet(cols * 322, meshRows * 242 + 1400, {0.08f, 0.08f, 0.1f, 1});
    for (size_t i = 0; i < frames.size(); ++i) Put(sheet, frames[i], int(i % cols) * 322, int(i / cols) * 242);
    // The pictures at full size over a checkerboard, so that their transparency shows.
    content::Shelf shelf(sheet, meshRows * 242 + 4);
    for (const auto& e :
         std::vector<std::string>{"title.png", "pushenter.png", "efe_hit.png", "white.png", "blood.png", "clear.png",
                                  "crosshair.png", "laser.png", "stone.png", "turf.png", "plate.png", "brick.png"}) {
        Canvas pic(1, 1);
        if (!ReadPicture("data/texture/" + e, pic)) {
            std::fprintf(stderr, "%s does not load\n", e.c_str());
            return 1;
        }
        shelf.Place(pic);
    }
    Canvas cropped(sheet.w, std::min(sheet.h, shelf.Bottom() + 4));
    std::copy(sheet.px.begin(), sheet.px.begin() + cropped.px.size(), cropped.px.begin());
    const std::vector<uint8_t> png = content::EncodePng(cropped, false);
    std::ofstream(out, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));

    g_resourceCache->ReleaseAll();
    delete g_resourceCache;
    g_resourceCache = nullptr;
    g_device->Release();
    g_device = nullptr;
    d3d->Release();
    DestroyWindow(wnd);
    return 0;
}
