// The runtime library's checked file opening, fopen_s, which the game's file readers use. Windows' own
// runtime has it (and refuses folders itself); glibc has none, so ours stands in there.
#pragma once

#include <cstdio>

#ifndef _WIN32
typedef int errno_t;

// Opens `path` as fopen does: 0 with *stream set, or an errno value with *stream null. A path that names
// a folder is a file that cannot be opened (EISDIR), as on Windows; fopen alone would open it here and
// only the reads would fail.
errno_t fopen_s(std::FILE** stream, const char* path, const char* mode);
#endif
