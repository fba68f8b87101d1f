// An optional record of platform calls, for tests that check the order in which the game does things.
#pragma once

namespace seam {

// Installed by a test; null (the usual case) records nothing.
extern void (*traceHook)(const char* what);

// Installed by the replay runner; told of every message box after it was answered (text and caption as
// the game passed them).
extern void (*messageBoxHook)(const char* text, const char* caption, unsigned type, int answer);

inline void trace(const char* what) {
    if (traceHook) traceHook(what);
}

}  // namespace seam
