// The runtime library's checked local time, localtime_s, as Windows' runtime spells it (tm first). Windows
// has it; glibc has none, so ours stands in there.
#pragma once

#include <ctime>

#ifndef _WIN32
#include <crt_stdio.h>

// Fills *result with the local time of *time: 0, or EINVAL (and *result untouched) for null arguments
// or a time the calendar cannot hold.
errno_t localtime_s(std::tm* result, const std::time_t* time);
#endif
