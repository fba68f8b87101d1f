// The Direct3D 9 object, device and textures: argument checks, the state a device remembers, and
// the hand-over of draws to the backend.
#include <d3d9.h>

#include <cstring>
#include <new>

#include "d3d9/state.h"
#include "seam/render.h"
#include "seam/trace.h"

namespace d3d9 {

namespace {
D3DMATRIX identity() {
    D3DMATRIX m;
    std::memset(&m, 0, sizeof m);
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}
}  // namespace

void DeviceState::setDefaults(UINT backBufferWidth, UINT backBufferHeight, bool autoDepth) {
    std::memset(this, 0, sizeof *this);
    render[D3DRS_ZENABLE] = autoDepth ? D3DZB_TRUE : D3DZB_FALSE;
    render[D3DRS_FILLMODE] = D3DFILL_SOLID;
    render[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    render[D3DRS_ZWRITEENABLE] = TRUE;
    render[D3DRS_LASTPIXEL] = TRUE;
    render[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    render[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    render[D3DRS_CULLMODE] = D3DCULL_CCW;
    render[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    render[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    render[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFFu;
    render[D3DRS_CLIPPING] = TRUE;
    render[D3DRS_LIGHTING] = TRUE;
    render[D3DRS_COLORVERTEX] = TRUE;
    render[D3DRS_LOCALVIEWER] = TRUE;
    render[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    render[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    render[D3DRS_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
    render[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
    render[D3DRS_COLORWRITEENABLE] = 0xF;
    render[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
    render[D3DRS_SRCBLENDALPHA] = D3DBLEND_ONE;
    render[D3DRS_DESTBLENDALPHA] = D3DBLEND_ZERO;
    render[D3DRS_BLENDOPALPHA] = D3DBLENDOP_ADD;
    for (int s = 0; s < kStages; ++s) {
        stage[s][D3DTSS_COLOROP] = s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        stage[s][D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        stage[s][D3DTSS_COLORARG2] = D3DTA_CURRENT;
        stage[s][D3DTSS_ALPHAOP] = s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        stage[s][D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        stage[s][D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        stage[s][D3DTSS_TEXCOORDINDEX] = s;
        sampler[s][D3DSAMP_ADDRESSU] = D3DTADDRESS_WRAP;
        sampler[s][D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
        sampler[s][D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
        sampler[s][D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
        sampler[s][D3DSAMP_MINFILTER] = D3DTEXF_POINT;
        sampler[s][D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
        sampler[s][D3DSAMP_MAXANISOTROPY] = 1;
    }
    world = view = projection = identity();
    viewport = D3DVIEWPORT9{0, 0, backBufferWidth, backBufferHeight, 0.0f, 1.0f};
}

VertexLayout layoutOf(DWORD fvf) {
    VertexLayout l;
    int offset = 0;
    if (fvf & D3DFVF_XYZRHW) {
        l.rhw = true;
        offset = 16;
    } else if (fvf & D3DFVF_XYZ) {
        offset = 12;
    }
    if (fvf & D3DFVF_NORMAL) {
        l.normal = offset;
        offset += 12;
    }
    if (fvf & D3DFVF_DIFFUSE) {
        l.diffuse = offset;
        offset += 4;
    }
    if (fvf & D3DFVF_SPECULAR) {
        l.specular = offset;
        offset += 4;
    }
    int texCount = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (texCount > 0) {
        l.texcoord = offset;
        offset += 8 * texCount;
    }
    l.stride = offset;
    return l;
}

}  // namespace d3d9

// ---- IDirect3D9 ----

IDirect3D9* WINAPI Direct3DCreate9(UINT sdkVersion) {
    seam::trace("Direct3DCreate9");
    if (sdkVersion != D3D_SDK_VERSION) return nullptr;
    return new (std::nothrow) IDirect3D9();
}

ULONG IDirect3D9::AddRef() { return ++refs; }

ULONG IDirect3D9::Release() {
    ULONG left = --refs;
    if (left == 0) delete this;
    return left;
}

UINT IDirect3D9::GetAdapterCount() { return 1; }

HRESULT IDirect3D9::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
    if (adapter != D3DADAPTER_DEFAULT || !mode) return D3DERR_INVALIDCALL;
    seam::DisplayMode m = seam::renderDisplayMode();
    *mode = D3DDISPLAYMODE{static_cast<UINT>(m.width), static_cast<UINT>(m.height),
                           static_cast<UINT>(m.refreshRate), D3DFMT_X8R8G8B8};
    return D3D_OK;
}

namespace {
IDirect3DDevice9* liveDevice = nullptr;

seam::RenderConfig configOf(const D3DPRESENT_PARAMETERS& p) {
    int w = p.BackBufferWidth ? static_cast<int>(p.BackBufferWidth) : 640;
    int h = p.BackBufferHeight ? static_cast<int>(p.BackBufferHeight) : 480;
    return seam::RenderConfig{w, h, p.Windowed != FALSE, p.EnableAutoDepthStencil != FALSE,
                              p.AutoDepthStencilFormat == D3DFMT_D16 ? 16 : 24};
}

bool validParams(const D3DPRESENT_PARAMETERS* p) {
    if (!p) return false;
    if (!p->Windowed && (p->BackBufferWidth == 0 || p->BackBufferHeight == 0)) return false;
    if (p->BackBufferWidth > 16384 || p->BackBufferHeight > 16384) return false;
    return true;
}
}  // namespace

HRESULT IDirect3D9::CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                                 D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) {
    seam::trace("CreateDevice");
    if (!device) return D3DERR_INVALIDCALL;
    *device = nullptr;
    if (adapter != D3DADAPTER_DEFAULT || !validParams(params)) return D3DERR_INVALIDCALL;
    if (!focusWindow && !params->hDeviceWindow) return D3DERR_INVALIDCALL;
    if (deviceType != D3DDEVTYPE_HAL && deviceType != D3DDEVTYPE_REF) return D3DERR_NOTAVAILABLE;
    DWORD processing = behaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                                        D3DCREATE_MIXED_VERTEXPROCESSING);
    if (processing == 0 || (processing & (processing - 1)) != 0) return D3DERR_INVALIDCALL;
    if (liveDevice) return D3DERR_NOTAVAILABLE;
    if (!seam::renderCreate(configOf(*params))) return D3DERR_NOTAVAILABLE;

    auto* impl = new IDirect3DDevice9::Impl();
    impl->params = *params;
    if (impl->params.BackBufferWidth == 0) impl->params.BackBufferWidth = 640;
    if (impl->params.BackBufferHeight == 0) impl->params.BackBufferHeight = 480;
    if (impl->params.BackBufferCount == 0) impl->params.BackBufferCount = 1;
    params->BackBufferWidth = impl->params.BackBufferWidth;
    params->BackBufferHeight = impl->params.BackBufferHeight;
    params->BackBufferCount = impl->params.BackBufferCount;
    impl->state.setDefaults(impl->params.BackBufferWidth, impl->params.BackBufferHeight,
                            impl->params.EnableAutoDepthStencil != FALSE);
    liveDevice = new IDirect3DDevice9(impl);
    *device = liveDevice;
    return D3D_OK;
}

// ---- IDirect3DDevice9 ----

IDirect3DDevice9::~IDirect3DDevice9() { delete impl; }

ULONG IDirect3DDevice9::AddRef() { return ++impl->refs; }

ULONG IDirect3DDevice9::Release() {
    ULONG left = --impl->refs;
    if (left == 0) {
        for (auto*& t : impl->state.textures) {
            if (t) t->Release();
            t = nullptr;
        }
        seam::renderDestroy();
        if (liveDevice == this) liveDevice = nullptr;
        delete this;
    }
    return left;
}

HRESULT IDirect3DDevice9::TestCooperativeLevel() { return impl->lost ? D3DERR_DEVICENOTRESET : D3D_OK; }

HRESULT IDirect3DDevice9::Reset(D3DPRESENT_PARAMETERS* params) {
    ++impl->counters.resets;
    if (!validParams(params)) return D3DERR_INVALIDCALL;
    if (!seam::renderReset(configOf(*params))) {
        impl->lost = true;
        return D3DERR_DEVICELOST;
    }
    impl->params = *params;
    if (impl->params.BackBufferWidth == 0) impl->params.BackBufferWidth = 640;
    if (impl->params.BackBufferHeight == 0) impl->params.BackBufferHeight = 480;
    for (auto*& t : impl->state.textures) {
        if (t) t->Release();
        t = nullptr;
    }
    impl->state.setDefaults(impl->params.BackBufferWidth, impl->params.BackBufferHeight,
                            impl->params.EnableAutoDepthStencil != FALSE);
    impl->lost = false;
    impl->inScene = false;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::BeginScene() {
    if (impl->inScene) return D3DERR_INVALIDCALL;
    impl->inScene = true;
    ++impl->counters.beginScenes;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::EndScene() {
    if (!impl->inScene) return D3DERR_INVALIDCALL;
    impl->inScene = false;
    ++impl->counters.endScenes;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::Present(const RECT*, const RECT*, HWND, const void*) {
    if (impl->inScene) return D3DERR_INVALIDCALL;
    ++impl->counters.presents;
    // The backend always gets the Present (it keeps the pace), even while the device is lost.
    bool shown = seam::renderPresent();
    if (!shown || impl->lost) {
        impl->lost = true;
        ++impl->counters.failedPresents;
        return D3DERR_DEVICELOST;
    }
    return D3D_OK;
}

namespace {
void uploadBoundTextures(d3d9::DeviceState& s) {
    for (auto* t : s.textures) {
        if (!t || !t->impl->dirty) continue;
        auto& ti = *t->impl;
        if (ti.handle == 0) ti.handle = seam::textureCreate(ti.width, ti.height, ti.levels, ti.format != D3DFMT_X8R8G8B8);
        UINT w = ti.width, h = ti.height;
        for (UINT level = 0; level < ti.levels; ++level) {
            seam::textureUpload(ti.handle, level, w, h, ti.texels[level].data());
            w = w > 1 ? w / 2 : 1;
            h = h > 1 ? h / 2 : 1;
        }
        ti.dirty = false;
    }
}
}  // namespace

HRESULT IDirect3DDevice9::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                                DWORD stencil) {
    if ((count != 0 && !rects) || (flags & ~7u) || flags == 0) return D3DERR_INVALIDCALL;
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !impl->params.EnableAutoDepthStencil)
        return D3DERR_INVALIDCALL;
    ++impl->counters.clears;
    seam::renderClear(impl->state, flags, color, z, stencil);
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (state >= d3d9::kRenderStates) return D3DERR_INVALIDCALL;
    impl->state.render[state] = value;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (state >= d3d9::kRenderStates || !value) return D3DERR_INVALIDCALL;
    *value = impl->state.render[state];
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (stage >= d3d9::kStages || type >= d3d9::kStageStates) return D3DERR_INVALIDCALL;
    impl->state.stage[stage][type] = value;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    if (stage >= d3d9::kStages || type >= d3d9::kStageStates || !value) return D3DERR_INVALIDCALL;
    *value = impl->state.stage[stage][type];
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    if (sampler >= d3d9::kStages || type >= d3d9::kSamplerStates) return D3DERR_INVALIDCALL;
    impl->state.sampler[sampler][type] = value;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
    if (sampler >= d3d9::kStages || type >= d3d9::kSamplerStates || !value) return D3DERR_INVALIDCALL;
    *value = impl->state.sampler[sampler][type];
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetLight(DWORD index, const D3DLIGHT9* light) {
    if (index >= d3d9::kLights || !light) return D3DERR_INVALIDCALL;
    if (light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL) return D3DERR_INVALIDCALL;
    impl->state.lights[index] = *light;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetLight(DWORD index, D3DLIGHT9* light) {
    if (index >= d3d9::kLights || !light || impl->state.lights[index].Type == 0) return D3DERR_INVALIDCALL;
    *light = impl->state.lights[index];
    return D3D_OK;
}

HRESULT IDirect3DDevice9::LightEnable(DWORD index, BOOL enable) {
    if (index >= d3d9::kLights) return D3DERR_INVALIDCALL;
    D3DLIGHT9& l = impl->state.lights[index];
    if (l.Type == 0) {
        // Enabling a light that was never set gives Direct3D's default light: white, pointing down +z.
        std::memset(&l, 0, sizeof l);
        l.Type = D3DLIGHT_DIRECTIONAL;
        l.Diffuse = D3DCOLORVALUE{1, 1, 1, 0};
        l.Direction = D3DVECTOR{0, 0, 1};
    }
    impl->state.lightEnabled[index] = enable != FALSE;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetLightEnable(DWORD index, BOOL* enable) {
    if (index >= d3d9::kLights || !enable) return D3DERR_INVALIDCALL;
    *enable = impl->state.lightEnabled[index] ? 128 : FALSE;  // Direct3D answers 128 for "on"
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetMaterial(const D3DMATERIAL9* material) {
    if (!material) return D3DERR_INVALIDCALL;
    impl->state.material = *material;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetMaterial(D3DMATERIAL9* material) {
    if (!material) return D3DERR_INVALIDCALL;
    *material = impl->state.material;
    return D3D_OK;
}

namespace {
D3DMATRIX* transformSlot(d3d9::DeviceState& s, D3DTRANSFORMSTATETYPE t) {
    switch (static_cast<DWORD>(t)) {
    case D3DTS_VIEW:
        return &s.view;
    case D3DTS_PROJECTION:
        return &s.projection;
    case 256:
        return &s.world;
    default:
        return nullptr;
    }
}
}  // namespace

HRESULT IDirect3DDevice9::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    D3DMATRIX* slot = transformSlot(impl->state, state);
    if (!matrix) return D3DERR_INVALIDCALL;
    if (!slot) return D3D_OK;  // texture transforms and further world matrices are accepted and unused
    *slot = *matrix;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    D3DMATRIX* slot = transformSlot(impl->state, state);
    if (!matrix || !slot) return D3DERR_INVALIDCALL;
    *matrix = *slot;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetViewport(const D3DVIEWPORT9* viewport) {
    if (!viewport || viewport->Width == 0 || viewport->Height == 0 ||
        viewport->X + viewport->Width > impl->params.BackBufferWidth ||
        viewport->Y + viewport->Height > impl->params.BackBufferHeight || viewport->MinZ < 0.0f ||
        viewport->MaxZ > 1.0f || viewport->MinZ > viewport->MaxZ)
        return D3DERR_INVALIDCALL;
    impl->state.viewport = *viewport;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetViewport(D3DVIEWPORT9* viewport) {
    if (!viewport) return D3DERR_INVALIDCALL;
    *viewport = impl->state.viewport;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetFVF(DWORD fvf) {
    impl->state.fvf = fvf;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetFVF(DWORD* fvf) {
    if (!fvf) return D3DERR_INVALIDCALL;
    *fvf = impl->state.fvf;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    if (stage >= d3d9::kStages) return D3DERR_INVALIDCALL;
    IDirect3DTexture9*& slot = impl->state.textures[stage];
    if (slot == texture) return D3D_OK;
    if (texture) texture->AddRef();
    if (slot) slot->Release();
    slot = texture;
    return D3D_OK;
}

HRESULT IDirect3DDevice9::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) {
    if (stage >= d3d9::kStages || !texture) return D3DERR_INVALIDCALL;
    *texture = impl->state.textures[stage];
    if (*texture) (*texture)->AddRef();
    return D3D_OK;
}

HRESULT IDirect3DDevice9::CreateTexture(UINT width, UINT height, UINT levels, DWORD, D3DFORMAT format,
                                        D3DPOOL pool, IDirect3DTexture9** texture, void*) {
    if (!texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (width == 0 || height == 0 || width > 8192 || height > 8192) return D3DERR_INVALIDCALL;
    if (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8) return D3DERR_INVALIDCALL;
    UINT fullChain = 1;
    for (UINT m = width > height ? width : height; m > 1; m /= 2) ++fullChain;
    if (levels == 0 || levels > fullChain) levels = fullChain;
    auto* ti = new (std::nothrow) IDirect3DTexture9::Impl();
    if (!ti) return E_OUTOFMEMORY;
    ti->width = width;
    ti->height = height;
    ti->levels = levels;
    ti->format = format;
    ti->pool = pool;
    UINT w = width, h = height;
    for (UINT level = 0; level < levels; ++level) {
        ti->texels.emplace_back(static_cast<size_t>(w) * h, format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0u);
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
    }
    *texture = new IDirect3DTexture9(ti);
    return D3D_OK;
}

namespace {
UINT vertexCountOf(D3DPRIMITIVETYPE type, UINT primitives) {
    switch (type) {
    case D3DPT_POINTLIST:
        return primitives;
    case D3DPT_LINELIST:
        return primitives * 2;
    case D3DPT_LINESTRIP:
        return primitives + 1;
    case D3DPT_TRIANGLELIST:
        return primitives * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        return primitives + 2;
    }
    return 0;
}
}  // namespace

HRESULT IDirect3DDevice9::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                                          UINT stride) {
    UINT vertices = vertexCountOf(type, primitiveCount);
    if (!vertexData || vertices == 0 || stride == 0) return D3DERR_INVALIDCALL;
    if (!impl->inScene) return D3DERR_INVALIDCALL;
    ++impl->counters.draws;
    impl->counters.primitives += primitiveCount;
    uploadBoundTextures(impl->state);
    seam::renderDraw(impl->state, seam::DrawCall{type, primitiveCount, vertexData, vertices, stride, nullptr, nullptr});
    return D3D_OK;
}

HRESULT IDirect3DDevice9::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT, UINT numVertices,
                                                 UINT primitiveCount, const void* indexData,
                                                 D3DFORMAT indexFormat, const void* vertexData, UINT stride) {
    UINT indices = vertexCountOf(type, primitiveCount);
    if (!vertexData || !indexData || indices == 0 || stride == 0 || numVertices == 0) return D3DERR_INVALIDCALL;
    if (indexFormat != D3DFMT_INDEX16 && indexFormat != D3DFMT_INDEX32) return D3DERR_INVALIDCALL;
    if (!impl->inScene) return D3DERR_INVALIDCALL;
    ++impl->counters.draws;
    impl->counters.primitives += primitiveCount;
    uploadBoundTextures(impl->state);
    seam::DrawCall call{type, primitiveCount, vertexData, numVertices, stride, nullptr, nullptr};
    if (indexFormat == D3DFMT_INDEX16)
        call.indices = static_cast<const uint16_t*>(indexData);
    else
        call.indices32 = static_cast<const uint32_t*>(indexData);
    seam::renderDraw(impl->state, call);
    return D3D_OK;
}

// ---- IDirect3DTexture9 ----

IDirect3DTexture9::~IDirect3DTexture9() {
    if (impl->handle) seam::textureDestroy(impl->handle);
    delete impl;
}

ULONG IDirect3DTexture9::AddRef() { return ++impl->refs; }

ULONG IDirect3DTexture9::Release() {
    ULONG left = --impl->refs;
    if (left == 0) delete this;
    return left;
}

DWORD IDirect3DTexture9::GetLevelCount() { return impl->levels; }

HRESULT IDirect3DTexture9::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (level >= impl->levels || !desc) return D3DERR_INVALIDCALL;
    UINT w = impl->width >> level, h = impl->height >> level;
    *desc = D3DSURFACE_DESC{impl->format, D3DRTYPE_SURFACE, 0, impl->pool, D3DMULTISAMPLE_NONE, 0,
                            w ? w : 1, h ? h : 1};
    return D3D_OK;
}

HRESULT IDirect3DTexture9::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD) {
    if (level >= impl->levels || !locked || impl->locked[level]) return D3DERR_INVALIDCALL;
    UINT w = impl->width >> level;
    if (w == 0) w = 1;
    uint32_t* bits = impl->texels[level].data();
    if (rect) bits += static_cast<size_t>(rect->top) * w + rect->left;
    locked->Pitch = static_cast<INT>(w * 4);
    locked->pBits = bits;
    impl->locked[level] = true;
    return D3D_OK;
}

HRESULT IDirect3DTexture9::UnlockRect(UINT level) {
    if (level >= impl->levels || !impl->locked[level]) return D3DERR_INVALIDCALL;
    impl->locked[level] = false;
    impl->dirty = true;
    return D3D_OK;
}
