// The lever-state list, reached safely: levers write their channel, doors, elevators and traps read theirs.
#pragma once

#include <cstddef>

// Channels above this are not channels at all: reading them gives false, writing them does nothing, so
// a wild number in a stage file cannot make the list claim gigabytes.
constexpr int kMaxLeverChannel = 65535;

// The state of a channel; false for a channel the list does not reach (or a negative one).
bool ReadLeverState(int channel);
// A lever's write; the list grows with false values up to the channel when it is too short.
void WriteLeverState(int channel, bool on);
// Room for the channel without changing the list's length (levers and traps do this when built).
void ReserveLeverChannel(int channel);
// A new lever's initial state, appended at the end of the list (the list is never shortened).
void AppendLeverState(bool on);
