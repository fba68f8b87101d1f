// The executable's own icon, decoded once and kept for the window.
#include "desktop/window_icon.h"

#include <optional>

namespace desktop {

namespace {
std::optional<d3dx::Image> icon;
}

bool setWindowIcon(const void* png, std::size_t size) {
    d3dx::Image image;
    if (!d3dx::decodePng(png, size, image)) {
        icon.reset();
        return false;
    }
    icon = std::move(image);
    return true;
}

const d3dx::Image* windowIcon() { return icon ? &*icon : nullptr; }

}  // namespace desktop
