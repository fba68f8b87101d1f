// The replay runners' entry:
//   quillmoor_replay [--dir DIR] [--unpaced] REPLAY        (headless)
//   quillmoor_replay_real [--dir DIR] [--unpaced] REPLAY   (real window, picture and sound; screenshots)
#include "runner.h"

int main(int argc, char** argv) { return replay::RunCommandLine(argc, argv, nullptr); }
