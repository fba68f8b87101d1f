#!/bin/sh
# Plays the same walk on stage 1 twice with a replay runner, once with keys and mouse and once with a
# gamepad, and expects the same report frame by frame: walk forward, turn right and look down, jump,
# fire, walk diagonally. A full push of the right stick moves the cursor 40 pixels a frame and the
# stick at half its travel past the dead zone (0, 19660) 10 pixels down: "mouse 40 0" and "mouse 0 10".
# The look ends 20 degrees down, so the shot meets the floor and plants a bulge.
#   pad_replay_test.sh RUNNER DATA_DIR
set -eu
runner=$1 data=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
ln -s "$data" "$dir/data"

common='stage 1
print every 5
frames 150
'
{
  printf '%s' "$common"
  echo 'at 5 hold w'
  echo 'at 40 release w'
  for f in $(seq 40 49); do echo "at $f mouse 40 0"; done
  for f in $(seq 50 55); do echo "at $f mouse 0 10"; done
  for f in $(seq 56 61); do echo "at $f mouse 0 40"; done
  echo 'at 60 hold space'
  echo 'at 63 release space'
  echo 'at 80 hold lbutton'
  echo 'at 82 release lbutton'
  echo 'at 90 hold w'
  echo 'at 90 hold a'
  echo 'at 130 release w'
  echo 'at 130 release a'
} > "$dir/keys.replay"
cat > "$dir/pad.replay" <<REPLAY
$common
at 5 pad lstick 0 -32768
at 40 pad lstick 0 0
at 40 pad rstick 32767 0
at 50 pad rstick 0 19660
at 56 pad rstick 0 32767
at 62 pad rstick 0 0
at 60 pad hold a
at 63 pad release a
at 80 pad rtrigger 32767
at 82 pad rtrigger 0
at 90 pad lstick -23170 -23170
at 130 pad lstick 0 0
REPLAY

# The runs' own timings and the log's time stamps differ; everything else must not.
play() { "$runner" --dir "$dir" --unpaced "$dir/$1.replay" 2>&1 | grep -v -e '^end frames' -e '^log:' > "$dir/$1.out"; }
play keys
play pad
grep -q '^frame 145 scene game' "$dir/keys.out" || { echo "the keys run did not play the stage:"; cat "$dir/keys.out"; exit 1; }
diff "$dir/keys.out" "$dir/pad.out" || { echo "the pad run differs from the keys run"; exit 1; }
echo "pad run = keys run: $(grep -c '^frame' "$dir/pad.out") reports"

