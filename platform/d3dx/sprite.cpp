// ID3DXSprite: textured rectangles queued between Begin and End, drawn in call order with the states
// D3DX sets for sprites, the device's own states put back at End.
#include <d3dx9.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

namespace {

struct SpriteVertex {
    float x, y, z;
    D3DCOLOR color;
    float u, v;
};
constexpr DWORD kSpriteFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr size_t kQuadsPerDraw = 0x10000 / 4;  // 16-bit indices

struct Queued {
    IDirect3DTexture9* texture;  // referenced until the flush
    SpriteVertex corners[4];
};

struct RenderSetting {
    D3DRENDERSTATETYPE state;
    DWORD value;
};
struct StageSetting {
    DWORD stage;
    D3DTEXTURESTAGESTATETYPE type;
    DWORD value;
};
struct SamplerSetting {
    D3DSAMPLERSTATETYPE type;
    DWORD value;
};

// What Begin sets (blending and alpha test follow D3DXSPRITE_ALPHABLEND); depth states are left alone.
const RenderSetting kRenderSettings[] = {
    {D3DRS_ALPHABLENDENABLE, TRUE},
    {D3DRS_ALPHATESTENABLE, TRUE},
    {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
    {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD},
    {D3DRS_ALPHAFUNC, D3DCMP_GREATER},
    {D3DRS_ALPHAREF, 0},
    {D3DRS_CULLMODE, D3DCULL_NONE},
    {D3DRS_LIGHTING, FALSE},
    {D3DRS_FOGENABLE, FALSE},
    {D3DRS_RANGEFOGENABLE, FALSE},
    {D3DRS_SPECULARENABLE, FALSE},
    {D3DRS_FILLMODE, D3DFILL_SOLID},
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
    {D3DRS_STENCILENABLE, FALSE},
    {D3DRS_CLIPPING, TRUE},
    {D3DRS_CLIPPLANEENABLE, 0},
    {D3DRS_COLORWRITEENABLE, 0xF},
    {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
    {D3DRS_SEPARATEALPHABLENDENABLE, FALSE},
    {D3DRS_VERTEXBLEND, 0},
};
const StageSetting kStageSettings[] = {
    {0, D3DTSS_COLOROP, D3DTOP_MODULATE}, {0, D3DTSS_COLORARG1, D3DTA_TEXTURE}, {0, D3DTSS_COLORARG2, D3DTA_DIFFUSE},
    {0, D3DTSS_ALPHAOP, D3DTOP_MODULATE}, {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE}, {0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE},
    {0, D3DTSS_TEXCOORDINDEX, 0},         {0, D3DTSS_TEXTURETRANSFORMFLAGS, 0}, {1, D3DTSS_COLOROP, D3DTOP_DISABLE},
    {1, D3DTSS_ALPHAOP, D3DTOP_DISABLE},
};
const SamplerSetting kSamplerSettings[] = {
    {D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP},
    {D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP},
    {D3DSAMP_MAGFILTER, D3DTEXF_LINEAR},
    {D3DSAMP_MINFILTER, D3DTEXF_LINEAR},
    {D3DSAMP_MIPFILTER, D3DTEXF_LINEAR},
    {D3DSAMP_MAXMIPLEVEL, 0},
    {D3DSAMP_MIPMAPLODBIAS, 0},
};
constexpr size_t kRenderCount = sizeof kRenderSettings / sizeof kRenderSettings[0];
constexpr size_t kStageCount = sizeof kStageSettings / sizeof kStageSettings[0];
constexpr size_t kSamplerCount = sizeof kSamplerSettings / sizeof kSamplerSettings[0];

}  // namespace

struct ID3DXSprite::Impl {
    ULONG refs = 1;
    IDirect3DDevice9* device = nullptr;
    D3DXMATRIX transform;
    bool begun = false;
    bool saved = false;
    std::vector<Queued> queue;
    std::vector<SpriteVertex> vertices;
    std::vector<uint16_t> indices;

    // The device's own states, kept from Begin to End.
    DWORD render[kRenderCount], stage[kStageCount], sampler[kSamplerCount];
    D3DMATRIX world, view, projection;
    DWORD fvf;
    IDirect3DBaseTexture9* texture = nullptr;

    void save();
    void apply(DWORD flags);
    void restore();
    void dropQueue();
};

void ID3DXSprite::Impl::save() {
    for (size_t i = 0; i < kRenderCount; ++i) device->GetRenderState(kRenderSettings[i].state, &render[i]);
    for (size_t i = 0; i < kStageCount; ++i)
        device->GetTextureStageState(kStageSettings[i].stage, kStageSettings[i].type, &stage[i]);
    for (size_t i = 0; i < kSamplerCount; ++i) device->GetSamplerState(0, kSamplerSettings[i].type, &sampler[i]);
    device->GetTransform(D3DTS_WORLD, &world);
    device->GetTransform(D3DTS_VIEW, &view);
    device->GetTransform(D3DTS_PROJECTION, &projection);
    device->GetFVF(&fvf);
    device->GetTexture(0, &texture);
    saved = true;
}

void ID3DXSprite::Impl::apply(DWORD flags) {
    bool blend = (flags & D3DXSPRITE_ALPHABLEND) != 0;
    for (const auto& s : kRenderSettings) {
        DWORD value = s.value;
        if (s.state == D3DRS_ALPHABLENDENABLE || s.state == D3DRS_ALPHATESTENABLE) value = blend ? TRUE : FALSE;
        device->SetRenderState(s.state, value);
    }
    for (const auto& s : kStageSettings) device->SetTextureStageState(s.stage, s.type, s.value);
    for (const auto& s : kSamplerSettings) device->SetSamplerState(0, s.type, s.value);
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    device->SetTransform(D3DTS_WORLD, &m);
    device->SetTransform(D3DTS_VIEW, &m);
    // Direct3D's pixel centres sit on whole coordinates: the half-pixel shift puts texel i on pixel i.
    D3DVIEWPORT9 vp;
    device->GetViewport(&vp);
    D3DXMatrixOrthoOffCenterLH(&m, vp.X + 0.5f, vp.X + vp.Width + 0.5f, vp.Y + vp.Height + 0.5f, vp.Y + 0.5f, vp.MinZ,
                               vp.MaxZ);
    device->SetTransform(D3DTS_PROJECTION, &m);
}

void ID3DXSprite::Impl::restore() {
    for (size_t i = 0; i < kRenderCount; ++i) device->SetRenderState(kRenderSettings[i].state, render[i]);
    for (size_t i = 0; i < kStageCount; ++i)
        device->SetTextureStageState(kStageSettings[i].stage, kStageSettings[i].type, stage[i]);
    for (size_t i = 0; i < kSamplerCount; ++i) device->SetSamplerState(0, kSamplerSettings[i].type, sampler[i]);
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetFVF(fvf);
    device->SetTexture(0, texture);
    if (texture) texture->Release();
    texture = nullptr;
    saved = false;
}

void ID3DXSprite::Impl::dropQueue() {
    for (auto& q : queue) q.texture->Release();
    queue.clear();
}

HRESULT WINAPI D3DXCreateSprite(IDirect3DDevice9* device, ID3DXSprite** sprite) {
    if (!device || !sprite) return D3DERR_INVALIDCALL;
    auto* impl = new (std::nothrow) ID3DXSprite::Impl();
    if (!impl) return E_OUTOFMEMORY;
    impl->device = device;
    device->AddRef();
    D3DXMatrixIdentity(&impl->transform);
    impl->queue.reserve(64);
    impl->vertices.reserve(256);
    *sprite = new ID3DXSprite(impl);
    return D3D_OK;
}

ID3DXSprite::~ID3DXSprite() {
    impl->dropQueue();
    if (impl->texture) impl->texture->Release();
    impl->device->Release();
    delete impl;
}

ULONG ID3DXSprite::AddRef() { return ++impl->refs; }

ULONG ID3DXSprite::Release() {
    ULONG left = --impl->refs;
    if (left == 0) delete this;
    return left;
}

HRESULT ID3DXSprite::GetDevice(IDirect3DDevice9** device) {
    if (!device) return D3DERR_INVALIDCALL;
    *device = impl->device;
    impl->device->AddRef();
    return D3D_OK;
}

HRESULT ID3DXSprite::SetTransform(const D3DXMATRIX* transform) {
    if (!transform) return D3DERR_INVALIDCALL;
    impl->transform = *transform;
    return D3D_OK;
}

HRESULT ID3DXSprite::GetTransform(D3DXMATRIX* transform) {
    if (!transform) return D3DERR_INVALIDCALL;
    *transform = impl->transform;
    return D3D_OK;
}

HRESULT ID3DXSprite::Begin(DWORD flags) {
    if (impl->begun) return D3DERR_INVALIDCALL;
    if (!(flags & D3DXSPRITE_DONOTSAVESTATE)) impl->save();
    if (!(flags & D3DXSPRITE_DONOTMODIFY_RENDERSTATE)) impl->apply(flags);
    impl->begun = true;
    return D3D_OK;
}

HRESULT ID3DXSprite::Draw(IDirect3DTexture9* texture, const RECT* srcRect, const D3DXVECTOR3* center,
                          const D3DXVECTOR3* position, D3DCOLOR color) {
    if (!impl->begun || !texture) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC desc;
    if (FAILED(texture->GetLevelDesc(0, &desc))) return D3DERR_INVALIDCALL;
    RECT r = srcRect ? *srcRect : RECT{0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
    float w = static_cast<float>(r.right - r.left), h = static_cast<float>(r.bottom - r.top);
    D3DXVECTOR3 origin = position ? *position : D3DXVECTOR3(0, 0, 0);
    if (center) origin -= *center;
    float u0 = r.left / static_cast<float>(desc.Width), u1 = r.right / static_cast<float>(desc.Width);
    float v0 = r.top / static_cast<float>(desc.Height), v1 = r.bottom / static_cast<float>(desc.Height);
    const float offsets[4][2] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
    const float uvs[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
    Queued q;
    q.texture = texture;
    for (int i = 0; i < 4; ++i) {
        D3DXVECTOR3 corner(origin.x + offsets[i][0], origin.y + offsets[i][1], origin.z), p;
        D3DXVec3TransformCoord(&p, &corner, &impl->transform);  // the transform of this Draw, not the flush's
        q.corners[i] = SpriteVertex{p.x, p.y, p.z, color, uvs[i][0], uvs[i][1]};
    }
    texture->AddRef();
    impl->queue.push_back(q);
    return D3D_OK;
}

HRESULT ID3DXSprite::Flush() {
    if (!impl->begun) return D3DERR_INVALIDCALL;
    IDirect3DDevice9* device = impl->device;
    HRESULT result = D3D_OK;
    device->SetFVF(kSpriteFvf);
    size_t i = 0;
    while (i < impl->queue.size()) {
        // One draw per run of rectangles with the same texture.
        IDirect3DTexture9* texture = impl->queue[i].texture;
        size_t runEnd = i;
        while (runEnd < impl->queue.size() && runEnd - i < kQuadsPerDraw && impl->queue[runEnd].texture == texture)
            ++runEnd;
        size_t quads = runEnd - i;
        impl->vertices.clear();
        for (size_t q = i; q < runEnd; ++q)
            impl->vertices.insert(impl->vertices.end(), impl->queue[q].corners, impl->queue[q].corners + 4);
        while (impl->indices.size() < quads * 6) {
            auto base = static_cast<uint16_t>(impl->indices.size() / 6 * 4);
            for (uint16_t k : {0, 1, 2, 0, 2, 3}) impl->indices.push_back(static_cast<uint16_t>(base + k));
        }
        device->SetTexture(0, texture);
        HRESULT hr = device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(quads * 4),
                                                    static_cast<UINT>(quads * 2), impl->indices.data(), D3DFMT_INDEX16,
                                                    impl->vertices.data(), sizeof(SpriteVertex));
        if (FAILED(hr)) result = hr;
        i = runEnd;
    }
    impl->dropQueue();
    return result;
}

HRESULT ID3DXSprite::End() {
    if (!impl->begun) return D3DERR_INVALIDCALL;
    HRESULT hr = Flush();
    if (impl->saved) impl->restore();
    impl->begun = false;
    return hr;
}

HRESULT ID3DXSprite::OnLostDevice() {
    // A sprite caught between Begin and End by a lost device forgets what it had queued.
    impl->dropQueue();
    if (impl->saved) impl->restore();
    impl->begun = false;
    return D3D_OK;
}

HRESULT ID3DXSprite::OnResetDevice() { return D3D_OK; }
