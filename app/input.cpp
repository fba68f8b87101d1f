// Sampling the keys: the previous frame's state moves to `before`, then each key is read once.
#include "app/input.h"

#include <windows.h>

InputState g_input = {};

namespace {
struct Binding {
    KeyState InputState::*key;
    int vk;
};
constexpr Binding kBindings[] = {
    {&InputState::w, 'W'},          {&InputState::a, 'A'},         {&InputState::s, 'S'},
    {&InputState::d, 'D'},          {&InputState::e, 'E'},         {&InputState::left, VK_LEFT},
    {&InputState::right, VK_RIGHT}, {&InputState::space, VK_SPACE}, {&InputState::enter, VK_RETURN},
    {&InputState::mouseLeft, VK_LBUTTON}, {&InputState::mouseRight, VK_RBUTTON},
};
}  // namespace

void SampleInput() {
    for (const Binding& b : kBindings) (g_input.*b.key).before = (g_input.*b.key).now;
    // Only the "down now" bit counts; a press that starts and ends between two samples is not seen.
    for (const Binding& b : kBindings) (g_input.*b.key).now = (GetAsyncKeyState(b.vk) & 0x8000) ? 1 : 0;
}
