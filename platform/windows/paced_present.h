// The system's Present keeps 60 frames a second in our programs (paced_present.cpp); the test-only replay
// runner turns that off for its unpaced runs.
#pragma once

namespace windows {
void setPresentPaced(bool on);
}
