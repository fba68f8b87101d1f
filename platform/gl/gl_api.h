// Every OpenGL entry point the device uses beyond OpenGL 1.3, fetched once from the context, and the
// one helper that reports GL errors.
#pragma once

#include <SDL.h>
#include <SDL_opengl.h>

namespace gl {

struct Api {
    PFNGLBLENDEQUATIONPROC BlendEquation;
    PFNGLGENFRAMEBUFFERSPROC GenFramebuffers;
    PFNGLDELETEFRAMEBUFFERSPROC DeleteFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC BindFramebuffer;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckFramebufferStatus;
    PFNGLGENRENDERBUFFERSPROC GenRenderbuffers;
    PFNGLDELETERENDERBUFFERSPROC DeleteRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC BindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC RenderbufferStorage;
    PFNGLBLITFRAMEBUFFERPROC BlitFramebuffer;
};

extern Api api;

// Fetches the entry points from the current context; false when one is missing.
bool loadApi();

// True when the context is at least OpenGL `major`.`minor`.
bool versionAtLeast(int major, int minor);

// Logs (once per call site and error) and clears any pending GL error; `where` names the caller.
void checkErrors(const char* where);

}  // namespace gl
