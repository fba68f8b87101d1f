// What the replay runner says about a frame and about the log.
#pragma once

#include <cstdint>
#include <string>

namespace replay {

// "frame 12 scene title stage 1 fade 0 speed 0 colour 0,0,0": the state as frame `frame` starts.
std::string DescribeFrame(int frame);

// "player pos x,y,z vel x,y,z yaw Y pitch P health H airborne 0 dead 0 dip D bulges c r on|off ×4".
std::string DescribePlayer();

// One line per stage object in list order: "object 1 type 1 pos x,y,z yaw Y pitch P state ...".
std::string DescribeObjects();

// "sound play NAME volume V flags F" or "sound stop NAME".
std::string DescribeSound(bool play, const std::string& name, long volume, unsigned long flags);

// "box caption "..." text "..." style 0x... answer N" (line feeds in the texts written as \n).
std::string DescribeBox(const std::string& text, const std::string& caption, unsigned style, int answer);

// The lines appended to the log since it held `before` bytes, as UTF-8 "log: ..." lines.
std::string DescribeNewLog(const std::string& path, std::uintmax_t before);

}  // namespace replay
