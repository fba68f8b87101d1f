// Bounds-checked access to g_leverStates.
#include "stage/lever_states.h"

#include "app/globals.h"

namespace {
bool Usable(int channel) { return channel >= 0 && channel <= kMaxLeverChannel; }
}  // namespace

bool ReadLeverState(int channel) {
    if (channel < 0 || static_cast<size_t>(channel) >= g_leverStates.size()) return false;
    return g_leverStates[channel];
}

void WriteLeverState(int channel, bool on) {
    if (!Usable(channel)) return;
    if (static_cast<size_t>(channel) >= g_leverStates.size()) g_leverStates.resize(channel + 1, false);
    g_leverStates[channel] = on;
}

void ReserveLeverChannel(int channel) {
    if (!Usable(channel)) return;
    g_leverStates.reserve(static_cast<size_t>(channel) + 1);
}

void AppendLeverState(bool on) { g_leverStates.push_back(on); }
