#!/usr/bin/env bash
# Redraws the stage pictures in docs/stages/ with the real backends: for each stage the view from its
# start, and a frame of its solution replay at the moment the puzzle gives way. Needs an X server
# (DISPLAY) and a build of quillmoor_replay_real; sound goes to OpenAL's null output.
set -euo pipefail
cd "$(dirname "$0")/../.."
export ALSOFT_DRIVERS=null
runner=build/quillmoor_replay_real
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# stage, frame of the solution replay, and how far the start view looks down (mouse pixels, 15 a degree)
shots=("1 104 0" "2 450 0" "3 465 0" "4 180 0")
for entry in "${shots[@]}"; do
  read -r stage frame down <<< "$entry"
  {
    echo "stage $stage"
    if [ "$down" -gt 0 ]; then echo "at 2 mouse 0 $((down / 2))"; echo "at 3 mouse 0 $((down - down / 2))"; fi
    echo "shot 60 docs/stages/stage$stage-start.png"
    echo "frames 61"
  } > "$work/start.replay"
  "$runner" --dir . --unpaced "$work/start.replay" > /dev/null
  { grep -v '^print' "tests/replays/stage$stage.replay"; echo "shot $frame docs/stages/stage$stage-solved.png"; } \
    > "$work/solved.replay"
  "$runner" --dir . --unpaced "$work/solved.replay" > /dev/null
done

# Stage 2's laser sweeping its tunnel, from the replay in which the player leaves it on.
# The player is in the tunnel's jog then, facing east: a turn toward the niche shows the trap and beam.
{ grep -v '^print' tests/replays/laser.replay; echo "at 529 mouse -1020 0"; echo "shot 532 docs/stages/stage2-laser.png"; } \
  > "$work/laser.replay"
"$runner" --dir . --unpaced "$work/laser.replay" > /dev/null
