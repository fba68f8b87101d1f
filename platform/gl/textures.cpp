// Device textures as GL textures: 32-bit texels uploaded as they are, rows top-down, every level.
#include <SDL.h>
#include <SDL_opengl.h>

#include <unordered_map>

#include "gl/gl_api.h"
#include "gl/internal.h"
#include "seam/render.h"

namespace {
struct Texture {
    GLuint name;
    int levels;
    bool alpha;
};
std::unordered_map<uint32_t, Texture> textures;
uint32_t nextHandle = 1;
}  // namespace

namespace gl {
GLuint textureName(uint32_t handle) {
    auto it = textures.find(handle);
    return it == textures.end() ? 0 : it->second.name;
}
bool textureHasMips(uint32_t handle) {
    auto it = textures.find(handle);
    return it != textures.end() && it->second.levels > 1;
}
}  // namespace gl

namespace seam {

uint32_t textureCreate(int, int, int levels, bool alpha) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    // Without this an incomplete mip chain would silently switch texturing off.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels - 1);
    uint32_t handle = nextHandle++;
    textures[handle] = Texture{name, levels, alpha};
    return handle;
}

void textureUpload(uint32_t handle, int level, int width, int height, const uint32_t* argb) {
    auto it = textures.find(handle);
    if (it == textures.end()) return;
    glBindTexture(GL_TEXTURE_2D, it->second.name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    // ARGB words are B, G, R, A bytes in memory. X8R8G8B8 keeps no alpha, so it samples as opaque.
    glTexImage2D(GL_TEXTURE_2D, level, it->second.alpha ? GL_RGBA8 : GL_RGB8, width, height, 0, GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, argb);
    gl::checkErrors("textureUpload");
}

void textureDestroy(uint32_t handle) {
    auto it = textures.find(handle);
    if (it == textures.end()) return;
    // A texture outliving its device has nothing left to delete on the GL side.
    if (SDL_GL_GetCurrentContext()) glDeleteTextures(1, &it->second.name);
    textures.erase(it);
}

}  // namespace seam
