// Direct3D 9's fixed-function pipeline on OpenGL's: row-vector matrices loaded unchanged, depth mapped
// from [0, 1], Direct3D's pixel centres, its culling, lighting, texture stage and blending, then the draw.
#include <SDL_opengl.h>

#include <cstring>

#include "gl/gl_api.h"
#include "gl/internal.h"
#include "seam/render.h"

namespace {

void multiply(const D3DMATRIX& a, const D3DMATRIX& b, D3DMATRIX& out) {
    D3DMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    out = r;
}

// Projection as GL needs it: depth from Direct3D's [0, 1] to GL's [-1, 1] (z' = 2z - w), then the
// shift that puts pixel centres where Direct3D 9 has them (wined3d's 63/64 avoids exact ties).
void loadProjection(const d3d9::DeviceState& s) {
    D3DMATRIX fix;
    std::memset(&fix, 0, sizeof fix);
    fix.m[0][0] = fix.m[1][1] = fix.m[3][3] = 1.0f;
    fix.m[2][2] = 2.0f;
    fix.m[3][2] = -1.0f;
    const float k = 63.0f / 64.0f;
    fix.m[3][0] = k / static_cast<float>(s.viewport.Width);
    fix.m[3][1] = -k / static_cast<float>(s.viewport.Height);
    D3DMATRIX p;
    multiply(s.projection, fix, p);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(&p.m[0][0]);
}

void setColor(GLenum light, GLenum which, const D3DCOLORVALUE& c) {
    const GLfloat v[4] = {c.r, c.g, c.b, c.a};
    glLightfv(light, which, v);
}

void setMaterialColor(GLenum which, const D3DCOLORVALUE& c) {
    const GLfloat v[4] = {c.r, c.g, c.b, c.a};
    glMaterialfv(GL_FRONT_AND_BACK, which, v);
}

void applyLights(const d3d9::DeviceState& s) {
    // Light directions are taken in view space at the moment they are given, so give them under View.
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(&s.view.m[0][0]);
    for (int i = 0; i < d3d9::kLights; ++i) {
        GLenum light = GL_LIGHT0 + i;
        if (!s.lightEnabled[i]) {
            glDisable(light);
            continue;
        }
        const D3DLIGHT9& l = s.lights[i];
        glEnable(light);
        setColor(light, GL_DIFFUSE, l.Diffuse);
        setColor(light, GL_SPECULAR, l.Specular);
        setColor(light, GL_AMBIENT, l.Ambient);
        if (l.Type == D3DLIGHT_DIRECTIONAL) {
            const GLfloat dir[4] = {-l.Direction.x, -l.Direction.y, -l.Direction.z, 0.0f};
            glLightfv(light, GL_POSITION, dir);
            glLightf(light, GL_SPOT_CUTOFF, 180.0f);
            glLightf(light, GL_CONSTANT_ATTENUATION, 1.0f);
            glLightf(light, GL_LINEAR_ATTENUATION, 0.0f);
            glLightf(light, GL_QUADRATIC_ATTENUATION, 0.0f);
        } else {
            const GLfloat pos[4] = {l.Position.x, l.Position.y, l.Position.z, 1.0f};
            glLightfv(light, GL_POSITION, pos);
            glLightf(light, GL_CONSTANT_ATTENUATION, l.Attenuation0);
            glLightf(light, GL_LINEAR_ATTENUATION, l.Attenuation1);
            glLightf(light, GL_QUADRATIC_ATTENUATION, l.Attenuation2);
            if (l.Type == D3DLIGHT_SPOT) {
                const GLfloat dir[3] = {l.Direction.x, l.Direction.y, l.Direction.z};
                glLightfv(light, GL_SPOT_DIRECTION, dir);
                glLightf(light, GL_SPOT_CUTOFF, l.Phi * 0.5f * 57.29578f);
                glLightf(light, GL_SPOT_EXPONENT, l.Falloff);
            } else {
                glLightf(light, GL_SPOT_CUTOFF, 180.0f);
            }
        }
    }
}

void applyLighting(const d3d9::DeviceState& s, const d3d9::VertexLayout& layout) {
    const DWORD* rs = s.render;
    bool lighting = rs[D3DRS_LIGHTING] != FALSE;
    if (!lighting) {
        glDisable(GL_LIGHTING);
        glDisable(GL_COLOR_MATERIAL);
        if (layout.diffuse < 0) glColor4f(1, 1, 1, 1);  // no vertex colour: white
        return;
    }
    glEnable(GL_LIGHTING);
    DWORD a = rs[D3DRS_AMBIENT];
    const GLfloat ambient[4] = {((a >> 16) & 0xFF) / 255.0f, ((a >> 8) & 0xFF) / 255.0f, (a & 0xFF) / 255.0f,
                                ((a >> 24) & 0xFF) / 255.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, rs[D3DRS_LOCALVIEWER] ? GL_TRUE : GL_FALSE);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
    if (rs[D3DRS_NORMALIZENORMALS])
        glEnable(GL_NORMALIZE);
    else
        glDisable(GL_NORMALIZE);

    // Colour tracking goes off before the material is given: while on, GL would let the current colour
    // stand in for the tracked part of the material.
    glDisable(GL_COLOR_MATERIAL);
    const D3DMATERIAL9& m = s.material;
    setMaterialColor(GL_AMBIENT, m.Ambient);
    setMaterialColor(GL_EMISSION, m.Emissive);
    setMaterialColor(GL_DIFFUSE, m.Diffuse);
    const D3DCOLORVALUE black{0, 0, 0, 0};
    setMaterialColor(GL_SPECULAR, rs[D3DRS_SPECULARENABLE] ? m.Specular : black);
    GLfloat power = m.Power < 0 ? 0 : (m.Power > 128 ? 128 : m.Power);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, power);

    // The diffuse colour follows the vertices only when they carry one and the device says so; with
    // colour tracking left on, GL's current colour would replace the material's diffuse.
    bool vertexDiffuse = rs[D3DRS_COLORVERTEX] && layout.diffuse >= 0 && rs[D3DRS_DIFFUSEMATERIALSOURCE] == D3DMCS_COLOR1;
    if (vertexDiffuse) {
        glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
    }
    applyLights(s);
}

GLenum blendFactor(DWORD b) {
    switch (b) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_ONE: return GL_ONE;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    default: return GL_ONE;
    }
}

GLenum compareFunc(DWORD c) {
    switch (c) {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_LESSEQUAL: return GL_LEQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
    default: return GL_ALWAYS;
    }
}

GLenum blendOp(DWORD op) {
    switch (op) {
    case D3DBLENDOP_SUBTRACT: return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT: return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN: return GL_MIN;
    case D3DBLENDOP_MAX: return GL_MAX;
    default: return GL_FUNC_ADD;
    }
}

void applyRaster(const d3d9::DeviceState& s) {
    const DWORD* rs = s.render;
    // Direct3D judges winding on screen and, with CCW culling, keeps clockwise triangles. Our back
    // buffer has no y flip between the two, so "front" is clockwise in GL too.
    switch (rs[D3DRS_CULLMODE]) {
    case D3DCULL_NONE:
        glDisable(GL_CULL_FACE);
        break;
    case D3DCULL_CW:
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
        glCullFace(GL_BACK);
        break;
    default:
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CW);
        glCullFace(GL_BACK);
        break;
    }
    if (rs[D3DRS_ZENABLE] != D3DZB_FALSE)
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
    glDepthFunc(compareFunc(rs[D3DRS_ZFUNC]));
    glDepthMask(rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
    if (rs[D3DRS_ALPHABLENDENABLE])
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);
    glBlendFunc(blendFactor(rs[D3DRS_SRCBLEND]), blendFactor(rs[D3DRS_DESTBLEND]));
    gl::api.BlendEquation(blendOp(rs[D3DRS_BLENDOP]));
    if (rs[D3DRS_ALPHATESTENABLE])
        glEnable(GL_ALPHA_TEST);
    else
        glDisable(GL_ALPHA_TEST);
    glAlphaFunc(compareFunc(rs[D3DRS_ALPHAFUNC]), (rs[D3DRS_ALPHAREF] & 0xFF) / 255.0f);
    DWORD mask = rs[D3DRS_COLORWRITEENABLE];
    glColorMask(mask & 4 ? GL_TRUE : GL_FALSE, mask & 2 ? GL_TRUE : GL_FALSE, mask & 1 ? GL_TRUE : GL_FALSE,
                mask & 8 ? GL_TRUE : GL_FALSE);
    glPolygonMode(GL_FRONT_AND_BACK, rs[D3DRS_FILLMODE] == D3DFILL_WIREFRAME ? GL_LINE
                                     : rs[D3DRS_FILLMODE] == D3DFILL_POINT   ? GL_POINT
                                                                             : GL_FILL);
    glShadeModel(rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT ? GL_FLAT : GL_SMOOTH);
    glDisable(GL_FOG);
    glDisable(GL_SCISSOR_TEST);
}

GLenum combineSource(DWORD arg) {
    switch (arg & 0xF) {
    case D3DTA_TEXTURE: return GL_TEXTURE;
    case D3DTA_TFACTOR: return GL_CONSTANT;
    default: return GL_PRIMARY_COLOR;  // diffuse, and "current" on the first stage
    }
}

// One channel (colour or alpha) of texture stage 0 as a GL combiner.
void applyCombiner(DWORD op, DWORD arg1, DWORD arg2, bool alpha) {
    GLenum combine = alpha ? GL_COMBINE_ALPHA : GL_COMBINE_RGB;
    GLenum src0 = alpha ? GL_SOURCE0_ALPHA : GL_SOURCE0_RGB;
    GLenum src1 = alpha ? GL_SOURCE1_ALPHA : GL_SOURCE1_RGB;
    GLenum operand0 = alpha ? GL_OPERAND0_ALPHA : GL_OPERAND0_RGB;
    GLenum operand1 = alpha ? GL_OPERAND1_ALPHA : GL_OPERAND1_RGB;
    GLenum operand = alpha ? GL_SRC_ALPHA : GL_SRC_COLOR;
    glTexEnvi(GL_TEXTURE_ENV, operand0, operand);
    glTexEnvi(GL_TEXTURE_ENV, operand1, operand);
    glTexEnvf(GL_TEXTURE_ENV, alpha ? GL_ALPHA_SCALE : GL_RGB_SCALE, 1.0f);
    switch (op) {
    case D3DTOP_SELECTARG1:
        glTexEnvi(GL_TEXTURE_ENV, combine, GL_REPLACE);
        glTexEnvi(GL_TEXTURE_ENV, src0, combineSource(arg1));
        break;
    case D3DTOP_SELECTARG2:
        glTexEnvi(GL_TEXTURE_ENV, combine, GL_REPLACE);
        glTexEnvi(GL_TEXTURE_ENV, src0, combineSource(arg2));
        break;
    case D3DTOP_ADD:
        glTexEnvi(GL_TEXTURE_ENV, combine, GL_ADD);
        glTexEnvi(GL_TEXTURE_ENV, src0, combineSource(arg1));
        glTexEnvi(GL_TEXTURE_ENV, src1, combineSource(arg2));
        break;
    case D3DTOP_MODULATE:
    case D3DTOP_MODULATE2X:
    case D3DTOP_MODULATE4X:
        glTexEnvi(GL_TEXTURE_ENV, combine, GL_MODULATE);
        glTexEnvi(GL_TEXTURE_ENV, src0, combineSource(arg1));
        glTexEnvi(GL_TEXTURE_ENV, src1, combineSource(arg2));
        if (op != D3DTOP_MODULATE)
            glTexEnvf(GL_TEXTURE_ENV, alpha ? GL_ALPHA_SCALE : GL_RGB_SCALE, op == D3DTOP_MODULATE2X ? 2.0f : 4.0f);
        break;
    default:  // DISABLE: the diffuse colour passes through
        glTexEnvi(GL_TEXTURE_ENV, combine, GL_REPLACE);
        glTexEnvi(GL_TEXTURE_ENV, src0, GL_PRIMARY_COLOR);
        break;
    }
}

GLint wrapMode(DWORD address) {
    switch (address) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;
    }
}

void applyTexture(const d3d9::DeviceState& s) {
    IDirect3DTexture9* t = s.textures[0];
    GLuint name = t ? gl::textureName(t->impl->handle) : 0;
    // Without a texture the stage passes the diffuse colour on untouched (a null texture reads as white).
    if (!name || s.stage[0][D3DTSS_COLOROP] == D3DTOP_DISABLE) {
        glDisable(GL_TEXTURE_2D);
        return;
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, name);
    // Sampler state belongs to the stage in Direct3D and to the texture in GL: put it on the texture now.
    const DWORD* sm = s.sampler[0];
    bool linearMag = sm[D3DSAMP_MAGFILTER] >= D3DTEXF_LINEAR;
    bool linearMin = sm[D3DSAMP_MINFILTER] >= D3DTEXF_LINEAR;
    GLint minFilter = linearMin ? GL_LINEAR : GL_NEAREST;
    if (gl::textureHasMips(t->impl->handle) && sm[D3DSAMP_MIPFILTER] != D3DTEXF_NONE) {
        bool linearMip = sm[D3DSAMP_MIPFILTER] >= D3DTEXF_LINEAR;
        minFilter = linearMin ? (linearMip ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_NEAREST)
                              : (linearMip ? GL_NEAREST_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, linearMag ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapMode(sm[D3DSAMP_ADDRESSU]));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapMode(sm[D3DSAMP_ADDRESSV]));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, static_cast<GLint>(sm[D3DSAMP_MAXMIPLEVEL]));

    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    DWORD tf = s.render[D3DRS_TEXTUREFACTOR];
    const GLfloat factor[4] = {((tf >> 16) & 0xFF) / 255.0f, ((tf >> 8) & 0xFF) / 255.0f, (tf & 0xFF) / 255.0f,
                               ((tf >> 24) & 0xFF) / 255.0f};
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, factor);
    const DWORD* st = s.stage[0];
    applyCombiner(st[D3DTSS_COLOROP], st[D3DTSS_COLORARG1], st[D3DTSS_COLORARG2], false);
    applyCombiner(st[D3DTSS_ALPHAOP], st[D3DTSS_ALPHAARG1], st[D3DTSS_ALPHAARG2], true);
}

void applyViewport(const d3d9::DeviceState& s) {
    const D3DVIEWPORT9& v = s.viewport;
    glViewport(static_cast<GLint>(v.X), gl::backHeight - static_cast<GLint>(v.Y + v.Height),
               static_cast<GLsizei>(v.Width), static_cast<GLsizei>(v.Height));
    glDepthRange(v.MinZ, v.MaxZ);
}

GLenum primitiveMode(D3DPRIMITIVETYPE type) {
    switch (type) {
    case D3DPT_POINTLIST: return GL_POINTS;
    case D3DPT_LINELIST: return GL_LINES;
    case D3DPT_LINESTRIP: return GL_LINE_STRIP;
    case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN: return GL_TRIANGLE_FAN;
    default: return GL_TRIANGLES;
    }
}

}  // namespace

namespace gl {

void initDefaults() {
    glDisable(GL_DITHER);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnableClientState(GL_VERTEX_ARRAY);
}

void applyState(const d3d9::DeviceState& s, const d3d9::VertexLayout& layout) {
    applyViewport(s);
    loadProjection(s);
    applyLighting(s, layout);
    D3DMATRIX worldView;
    multiply(s.world, s.view, worldView);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(&worldView.m[0][0]);
    applyRaster(s);
    applyTexture(s);
}

}  // namespace gl

namespace seam {

void renderClear(const d3d9::DeviceState& s, DWORD flags, D3DCOLOR color, float z, DWORD) {
    // A clear fills the viewport whatever the write masks say.
    applyViewport(s);
    const D3DVIEWPORT9& v = s.viewport;
    glEnable(GL_SCISSOR_TEST);
    glScissor(static_cast<GLint>(v.X), gl::backHeight - static_cast<GLint>(v.Y + v.Height),
              static_cast<GLsizei>(v.Width), static_cast<GLsizei>(v.Height));
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) {
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(((color >> 16) & 0xFF) / 255.0f, ((color >> 8) & 0xFF) / 255.0f, (color & 0xFF) / 255.0f,
                     ((color >> 24) & 0xFF) / 255.0f);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & D3DCLEAR_ZBUFFER) {
        glDepthMask(GL_TRUE);
        glClearDepth(z);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    glClear(mask);
    glDisable(GL_SCISSOR_TEST);
    gl::checkErrors("Clear");
}

void renderDraw(const d3d9::DeviceState& s, const DrawCall& call) {
    d3d9::VertexLayout layout = d3d9::layoutOf(s.fvf);
    if (layout.rhw || layout.stride == 0 || call.stride < static_cast<UINT>(layout.stride)) return;
    gl::applyState(s, layout);
    const char* base = static_cast<const char*>(call.vertices);
    GLsizei stride = static_cast<GLsizei>(call.stride);
    glVertexPointer(3, GL_FLOAT, stride, base);
    if (layout.normal >= 0) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, stride, base + layout.normal);
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
        glNormal3f(0, 0, 0);  // Direct3D lights a vertex without a normal as if the dot product were 0
    }
    if (layout.diffuse >= 0) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, stride, base + layout.diffuse);
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
    }
    if (layout.texcoord >= 0) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, base + layout.texcoord);
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    GLenum mode = primitiveMode(call.type);
    GLsizei count = 0;
    switch (call.type) {
    case D3DPT_POINTLIST: count = call.primitiveCount; break;
    case D3DPT_LINELIST: count = call.primitiveCount * 2; break;
    case D3DPT_LINESTRIP: count = call.primitiveCount + 1; break;
    case D3DPT_TRIANGLELIST: count = call.primitiveCount * 3; break;
    default: count = call.primitiveCount + 2; break;
    }
    if (call.indices)
        glDrawElements(mode, count, GL_UNSIGNED_SHORT, call.indices);
    else if (call.indices32)
        glDrawElements(mode, count, GL_UNSIGNED_INT, call.indices32);
    else
        glDrawArrays(mode, 0, count);
    gl::checkErrors("Draw");
}

}  // namespace seam
