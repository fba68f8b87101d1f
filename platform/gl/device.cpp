// The Direct3D 9 device over OpenGL 2.1: a context on the SDL window, a 640 × 480 off-screen back
// buffer, and Present that scales it into the window with its 4:3 shape kept and keeps the pace at 60
// frames per second.
#include <SDL.h>
#include <SDL_opengl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "gl/control.h"
#include "gl/gl_api.h"
#include "gl/internal.h"
#include "pacer.h"
#include "sdl/sdl_window.h"
#include "seam/render.h"

namespace gl {
int backWidth = 640, backHeight = 480;
}

namespace {

SDL_GLContext context = nullptr;
seam::RenderConfig config{};
pacing::Pacer pacer;
bool unpaced = false;
GLuint framebuffer = 0, colorBuffer = 0, depthBuffer = 0;

void destroyBackBuffer() {
    if (framebuffer) gl::api.DeleteFramebuffers(1, &framebuffer);
    if (colorBuffer) gl::api.DeleteRenderbuffers(1, &colorBuffer);
    if (depthBuffer) gl::api.DeleteRenderbuffers(1, &depthBuffer);
    framebuffer = colorBuffer = depthBuffer = 0;
}

bool createBackBuffer(int width, int height, bool depth, int depthBits) {
    destroyBackBuffer();
    gl::api.GenFramebuffers(1, &framebuffer);
    gl::api.BindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl::api.GenRenderbuffers(1, &colorBuffer);
    gl::api.BindRenderbuffer(GL_RENDERBUFFER, colorBuffer);
    gl::api.RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    gl::api.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer);
    if (depth) {
        gl::api.GenRenderbuffers(1, &depthBuffer);
        gl::api.BindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
        gl::api.RenderbufferStorage(GL_RENDERBUFFER, depthBits == 16 ? GL_DEPTH_COMPONENT16 : GL_DEPTH_COMPONENT24,
                                     width, height);
        gl::api.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
    }
    bool complete = gl::api.CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    gl::backWidth = width;
    gl::backHeight = height;
    // A new back buffer starts black, as Direct3D's does.
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | (depth ? GL_DEPTH_BUFFER_BIT : 0));
    gl::checkErrors("createBackBuffer");
    return complete;
}

// The back buffer lands in the window as large as fits with its shape kept, centred, with black bars
// beside it; whole multiples of its size stay sharp, other sizes are smoothed.
void blitToWindow(int& windowW, int& windowH) {
    SDL_GL_GetDrawableSize(sdl::window(), &windowW, &windowH);
    SDL_Rect r = sdl::fitRect(windowW, windowH, gl::backWidth, gl::backHeight);
    gl::api.BindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glViewport(0, 0, windowW, windowH);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);  // the bars beside a scaled picture
    gl::api.BindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    bool whole = r.w % gl::backWidth == 0 && r.h % gl::backHeight == 0 && r.w / gl::backWidth == r.h / gl::backHeight;
    gl::api.BlitFramebuffer(0, 0, gl::backWidth, gl::backHeight, r.x, windowH - r.y - r.h, r.x + r.w, windowH - r.y,
                            GL_COLOR_BUFFER_BIT, whole ? GL_NEAREST : GL_LINEAR);
    gl::api.BindFramebuffer(GL_FRAMEBUFFER, framebuffer);
}

void chooseSwapInterval() {
    int refresh = 0;
    SDL_DisplayMode mode;
    if (SDL_GetWindowDisplayMode(sdl::window(), &mode) == 0) refresh = mode.refresh_rate;
    // Vsync only where it gives 60 Hz by itself; elsewhere it would judder against the limiter.
    bool vsync = !unpaced && refresh >= 59 && refresh <= 61;
    SDL_GL_SetSwapInterval(vsync ? 1 : 0);
}

void readRows(int width, int height, std::vector<uint32_t>& argb) {
    std::vector<uint32_t> rows(static_cast<size_t>(width) * height);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, rows.data());
    argb.resize(rows.size());
    // GL's rows run bottom-up; Direct3D's top-down.
    for (int y = 0; y < height; ++y)
        std::copy_n(&rows[static_cast<size_t>(height - 1 - y) * width], width, &argb[static_cast<size_t>(y) * width]);
}

}  // namespace

namespace seam {

bool renderCreate(const RenderConfig& wanted) {
    SDL_Window* window = sdl::window();
    if (!window || context) return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    context = SDL_GL_CreateContext(window);
    if (!context) {
        std::fprintf(stderr, "quillmoor: no OpenGL context: %s\n", SDL_GetError());
        return false;
    }
    if (!gl::versionAtLeast(2, 1) || !gl::loadApi() ||
        !createBackBuffer(wanted.width, wanted.height, wanted.depthBuffer, wanted.depthBits)) {
        std::fprintf(stderr, "quillmoor: OpenGL 2.1 with framebuffer objects is needed\n");
        SDL_GL_DeleteContext(context);
        context = nullptr;
        return false;
    }
    config = wanted;
    if (!config.windowed) sdl::setFullScreen(true);
    chooseSwapInterval();
    gl::initDefaults();
    pacer.start(SDL_GetPerformanceFrequency(), SDL_GetPerformanceCounter());
    return true;
}

bool renderReset(const RenderConfig& wanted) {
    if (!context) return false;
    // The device's own switch; the player's Alt+Enter in between is not undone by a reset that keeps it.
    if (wanted.windowed != config.windowed) sdl::setFullScreen(!wanted.windowed);
    config = wanted;
    if (!createBackBuffer(wanted.width, wanted.height, wanted.depthBuffer, wanted.depthBits)) return false;
    gl::initDefaults();
    return true;
}

void renderDestroy() {
    if (!context) return;
    destroyBackBuffer();
    SDL_GL_DeleteContext(context);
    context = nullptr;
}

DisplayMode renderDisplayMode() {
    DisplayMode mode{640, 480, 60};
    if (!sdl::initVideo()) return mode;
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) mode = DisplayMode{desktop.w, desktop.h, desktop.refresh_rate};
    return mode;
}

bool renderPresent() {
    if (!context) return false;
    int w = 0, h = 0;
    blitToWindow(w, h);
    SDL_GL_SwapWindow(sdl::window());
    gl::checkErrors("Present");
    sdl::framePresented();
    if (!unpaced) pacer.wait([] { return SDL_GetPerformanceCounter(); }, [](uint32_t ms) { SDL_Delay(ms); });
    return true;
}

bool renderReadBack(uint32_t* argb) {
    if (!context) return false;
    std::vector<uint32_t> pixels;
    gl::api.BindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    readRows(gl::backWidth, gl::backHeight, pixels);
    std::copy(pixels.begin(), pixels.end(), argb);
    return true;
}

}  // namespace seam

namespace real {

bool readBackBuffer(std::vector<uint32_t>& argb) {
    argb.assign(static_cast<size_t>(gl::backWidth) * gl::backHeight, 0);
    return seam::renderReadBack(argb.data());
}

bool readWindow(std::vector<uint32_t>& argb, int& width, int& height) {
    if (!context) return false;
    blitToWindow(width, height);
    gl::api.BindFramebuffer(GL_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    readRows(width, height, argb);
    gl::api.BindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    return true;
}

void setUnpaced(bool on) {
    unpaced = on;
    if (context) chooseSwapInterval();
}

}  // namespace real
