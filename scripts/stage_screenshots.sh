#!/usr/bin/env bash
# Screenshots of a stage: the sample room (data/xfile/sample.x) played as stage 1 from a temporary
# folder, with the real window and device, by docs/screenshots/sample-stage.replay. Needs a build
# (scripts/build.sh) and an X server in DISPLAY (for example Xvfb :99 -screen 0 1280x1024x24).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp -r "$root/data" "$dir/data"
printf 'stage1.txt\n' > "$dir/data/stagedata.txt"
printf '0,12,-40,\n:\nsample.x\nplycol.x\n:\nsample.x,1,0,0,0,0,0\nplycol.x,10,0,0,0,0,0\n' > "$dir/data/stage1.txt"
cp "$root/docs/screenshots/sample-stage.replay" "$dir/"
ALSOFT_DRIVERS=null "$root/build/quillmoor_replay_real" --dir "$dir" "$dir/sample-stage.replay"
cp "$dir/stage-start.png" "$dir/stage-bulge.png" "$root/docs/screenshots/"
