// The replay runner's command line, shared by the runners and by the game's own --replay option:
//   [--dir DIR] [--unpaced] REPLAY
// DIR is the folder that holds data/; without it the runner stays in the current folder, or, when
// `enterGameFolder` is given, calls it to enter the game's own folder.
#pragma once

namespace replay {

int RunCommandLine(int argc, char** argv, void (*enterGameFolder)());

}  // namespace replay
