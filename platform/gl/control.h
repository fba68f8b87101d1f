// What rendering tests and the replay runner may ask of the real backends beyond the platform's own
// interfaces: boxes answered without a person, the back buffer read back, Present without the pace.
#pragma once

#include <cstdint>
#include <vector>

namespace real {

// Every message box is answered with `answer` (IDYES, IDNO, IDOK...) instead of being shown; 0 shows them.
void autoAnswerMessageBoxes(int answer);

// The 640 × 480 back buffer as it is now, before Present shows it: ARGB words, rows top-down.
bool readBackBuffer(std::vector<uint32_t>& argb);

// The window's own pixels (what the last Present showed), with its size: for full-screen checks.
bool readWindow(std::vector<uint32_t>& argb, int& width, int& height);

// Present without waiting for the next sixtieth of a second (for measurements).
void setUnpaced(bool unpaced);

}  // namespace real
