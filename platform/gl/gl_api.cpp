// Fetching the OpenGL entry points and reporting GL errors.
#include "gl/gl_api.h"

#include <cstdio>
#include <cstring>

namespace gl {

Api api;

namespace {
template <typename T>
bool fetch(T& slot, const char* name) {
    slot = reinterpret_cast<T>(SDL_GL_GetProcAddress(name));
    if (!slot) std::fprintf(stderr, "quillmoor: OpenGL entry point %s is missing\n", name);
    return slot != nullptr;
}
}  // namespace

bool loadApi() {
    bool ok = true;
    ok &= fetch(api.BlendEquation, "glBlendEquation");
    ok &= fetch(api.GenFramebuffers, "glGenFramebuffers");
    ok &= fetch(api.DeleteFramebuffers, "glDeleteFramebuffers");
    ok &= fetch(api.BindFramebuffer, "glBindFramebuffer");
    ok &= fetch(api.FramebufferRenderbuffer, "glFramebufferRenderbuffer");
    ok &= fetch(api.CheckFramebufferStatus, "glCheckFramebufferStatus");
    ok &= fetch(api.GenRenderbuffers, "glGenRenderbuffers");
    ok &= fetch(api.DeleteRenderbuffers, "glDeleteRenderbuffers");
    ok &= fetch(api.BindRenderbuffer, "glBindRenderbuffer");
    ok &= fetch(api.RenderbufferStorage, "glRenderbufferStorage");
    ok &= fetch(api.BlitFramebuffer, "glBlitFramebuffer");
    return ok;
}

bool versionAtLeast(int major, int minor) {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int ma = 0, mi = 0;
    if (!version || std::sscanf(version, "%d.%d", &ma, &mi) != 2) return false;
    return ma > major || (ma == major && mi >= minor);
}

void checkErrors(const char* where) {
    for (int i = 0; i < 8; ++i) {
        GLenum e = glGetError();
        if (e == GL_NO_ERROR) return;
        static int reported = 0;
        if (reported < 20) {
            ++reported;
            std::fprintf(stderr, "quillmoor: OpenGL error 0x%04x in %s\n", e, where);
        }
    }
}

}  // namespace gl
