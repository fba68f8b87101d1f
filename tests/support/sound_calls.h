// The game's sound calls as a test sees them: every Play and Stop with the frame it came in.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

namespace testing_support {

struct RecordedSoundCall {
    int frame;
    std::string call;  // "Play" or "Stop"
    std::string name;
    LONG volume;
    DWORD flags;
    bool operator==(const RecordedSoundCall&) const = default;
};
std::ostream& operator<<(std::ostream& out, const RecordedSoundCall& c);

// From now on every Play and Stop of the sound bank is added to `calls`, stamped with the headless
// frame; null stops the recording.
void RecordSoundCalls(std::vector<RecordedSoundCall>* calls);

}  // namespace testing_support
