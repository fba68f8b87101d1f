#!/bin/sh
# The real game asks its start-up question in a real dialog: the box appears under its title, a key
# press answers it, and the answer takes effect (Yes: full screen over the whole 1280 × 1024 screen,
# No: the 640 × 480 window). Then Escape ends the run normally.
#   question_box_test.sh GAME DATA_DIR yes|no
set -u
game=$1 data=$2 answer=$3
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
# The game runs beside its data (the folder it finds from its own location) and writes Log.txt there.
ln -s "$data" "$work/data"
cp "$game" "$work/quillmoor"
(cd "$work" && exec ./quillmoor) > "$work/out.txt" 2>&1 &
pid=$!

fail() { echo "FAIL: $*"; cat "$work/out.txt"; exit 1; }
wait_for() {  # wait_for NAME: the id of the visible window titled exactly NAME (up to 30 s: a busy machine)
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

box=$(wait_for 確認) || fail "no box titled 確認 appeared"
# The box's own focus: "はい" is the default button, Tab moves on to "いいえ".
if [ "$answer" = yes ]; then keys="Return"; want="1280x1024"; else keys="Tab Return"; want="640x480"; fi
# A dialog can be mapped a moment before it takes keys (a busy machine shows it): press again while the
# box is still there, a few times at most.
for _ in 1 2 3 4 5; do
  xdotool windowfocus --sync "$box" key --delay 100 $keys 2>/dev/null
  for _ in $(seq 30); do xdotool search --onlyvisible --name "^確認\$" >/dev/null 2>&1 || break; sleep 0.1; done
  xdotool search --onlyvisible --name "^確認\$" >/dev/null 2>&1 || break
done
window=$(wait_for Quillmoor) || fail "the game window did not appear"
sleep 0.5
size=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
[ "$size" = "$want" ] || fail "answered $answer: window $size, expected $want"
xdotool windowfocus --sync "$window" key Escape
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
wait "$pid"
status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
iconv -f CP932 -t UTF-8 "$work/Log.txt" | tr -d '\r' | grep -q ' ||  正常終了$' || fail "no normal end in Log.txt"
echo "answered $answer with a key press: window $size, normal end"
