// The executable's own icon on the window it opens. Linux has no icon resources: the executable carries
// the picture as PNG bytes and hands it over before the game creates its window.
#pragma once

#include <cstddef>

#include "d3dx/mesh.h"

namespace desktop {

// Decodes the PNG and keeps it for the next window; false, and no icon, when the bytes are no PNG.
bool setWindowIcon(const void* png, std::size_t size);

// The icon handed over, or null when there is none.
const d3dx::Image* windowIcon();

}  // namespace desktop
