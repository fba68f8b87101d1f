// An optional record of platform calls, for tests that check the order in which the game does things.
#pragma once

namespace seam {

// Installed by a test; null (the usual case) records nothing.
extern void (*traceHook)(const char* what);

inline void trace(const char* what) {
    if (traceHook) traceHook(what);
}

}  // namespace seam
