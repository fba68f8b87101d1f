// What the replay runner says about a frame and about the log.
#pragma once

#include <cstdint>
#include <string>

namespace replay {

// "frame 12 scene title stage 1 fade 0 speed 0 colour 0,0,0": the state as frame `frame` starts.
std::string DescribeFrame(int frame);

// The lines appended to the log since it held `before` bytes, as UTF-8 "log: ..." lines.
std::string DescribeNewLog(const std::string& path, std::uintmax_t before);

}  // namespace replay
