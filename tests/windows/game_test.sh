# The shipped quillmoor.exe under Wine, driven with keys through xdotool (sourced by tests/windows/run.sh,
# whose pass, fail, $work, $win, $root and $here it uses). The game is copied into a folder of its own
# and started from another one: it must find its data from its own location.
game=$work/game/Quillmoor
mkdir -p "$game"
cp "$win/quillmoor.exe" "$game/"
cp -r "$root/data" "$game/data"
# Grabs are ImageMagick's (root: the screen's top-left 640 x 480, where a full-screen game in Wine's virtual
# desktop draws); pictures.py looks at them with python3-pil, which is Debian's python3's.
grab() { import -silent -window "$1" $([ "$1" = root ] && echo -crop 640x480+0+0) "$2"; }  # WINDOW|root OUT
py() { /usr/bin/python3 "$here/pictures.py" "$@"; }

start_game() { # NAME [WRAPPER...]: in the background; $work/NAME.status holds the exit status at the end
  local name=$1
  shift
  rm -f "$work/$name.status"
  (cd "$work" && status=0 && wine-stable "$@" "$game/quillmoor.exe" > "$work/$name.out" 2>&1 < /dev/null || status=$?
   echo $status > "$work/$name.status") &
}
poll() { # TIMES PAUSE CMD...: CMD until it succeeds, at most TIMES times, PAUSE seconds apart
  local times=$1 pause=$2
  shift 2
  for _ in $(seq "$times"); do "$@" && return 0; sleep "$pause"; done
  return 1
}
window_of() { xdotool search --name "^$1\$" 2>/dev/null | tail -n 1 | grep .; }  # TITLE: its X window
find_window() { poll $(($2 * 5)) 0.2 window_of "$1" || true; }  # TITLE SECONDS: the X window of that title, or nothing
hold() { # WINDOW KEY SECONDS: the game samples keys once a frame (GetAsyncKeyState): a tap can fall between
  xdotool windowfocus "$1" 2>/dev/null || true
  xdotool keydown --window "$1" "$2" 2>/dev/null || true
  sleep "$3"
  xdotool keyup --window "$1" "$2" 2>/dev/null || true
}
pressed_away() { # WINDOW KEY: Wine draws its own frames without a window manager: keys, not clicks
  xdotool windowfocus "$1" 2>/dev/null || true
  xdotool key --window "$1" "$2" 2>/dev/null || true
  sleep 1
  ! xdotool search --name "" 2>/dev/null | grep -qx "$1"
}
answer() { poll 30 0 pressed_away "$1" "$2"; }  # WINDOW KEY: a fresh box can miss a key on a busy machine
wait_exit() { poll $(($2 * 5)) 0.2 test -s "$work/$1.status"; }  # NAME SECONDS
title_shown() { grab "$1" "$work/title.ppm" > /dev/null 2>&1 && py title "$work/title.ppm" > "$work/title.check"; }
wait_title() { # WINDOW SECONDS [root]: until the title is on screen
  poll "$2" 1 title_shown "${3:-$1}" && return 0
  cat "$work/title.check" 2>/dev/null
  return 1
}
# The end of Log.txt: the normal end line in code page 932 (正常終了) with CR LF, then the separator.
normal_end=$(printf ' ||  \x90\xb3\x8f\xed\x8f\x49\x97\xb9\r')
ended_normally() { tail -n 3 "$game/Log.txt" | head -n 1 | LC_ALL=C grep -q "^[0-9/]*([A-Za-z]*) [0-9:]*$normal_end\$"; }
quit_normally() { # NAME WINDOW: Escape ends the run with status 0 and Log.txt's normal end line
  [ -n "$2" ] && answer "$2" Escape
  if wait_exit "$1" 30 && [ "$(cat "$work/$1.status")" = 0 ] && ended_normally; then
    pass "game ($1): Escape ends with status 0 and Log.txt's normal end line (CP932, CR LF)"
  else
    fail "game ($1): Escape: status $(cat "$work/$1.status" 2>/dev/null), log end:" \
      "$(tail -n 3 "$game/Log.txt" 2>/dev/null | head -n 1 | od -c | head -n 3)"
  fi
}
start_answering() { # NAME KEY [WRAPPER...]: no Log.txt yet; the game started, its start-up question answered
  local name=$1 key=$2 box
  shift 2
  rm -f "$game/Log.txt"
  start_game "$name" "$@"
  box=$(find_window "確認" 60)
  [ -n "$box" ] || { fail "game ($name): no start-up question"; cat "$work/$name.out"; return 1; }
  answer "$box" "$key"
}

# ---- Windowed: No, the title, Enter, W held, Escape ----
t0=$(date +%s.%N)
if start_answering windowed n; then
  window=$(find_window Quillmoor 30)
  if [ -n "$window" ] && wait_title "$window" 60; then
    pass "game: answered No, the title is drawn ($(awk "BEGIN { printf \"%.1f\", $(date +%s.%N) - $t0 }") s from start)"
    hold "$window" Return 1
    # Stage 1 loads and fades in (slowly on a busy machine): until 1.5 s of standing still change little.
    settled() { grab "$window" "$work/stage_a.ppm" && sleep 1.5 && grab "$window" "$work/stage_b.ppm" &&
      ! py moved "$work/stage_a.ppm" "$work/stage_b.ppm" > /dev/null; }
    poll 30 0 settled || true
    hold "$window" w 1.5
    grab "$window" "$work/stage_c.ppm" > /dev/null || true
    # Standing still the view changes little (the gun sways); walking it changes much more.
    idle=$(py moved "$work/stage_a.ppm" "$work/stage_b.ppm" | tr -dc 0-9 || true)
    walked=$(py moved "$work/stage_b.ppm" "$work/stage_c.ppm" | tr -dc 0-9 || true)
    if ! py title "$work/stage_b.ppm" > /dev/null && [ "${walked:-0}" -gt 5000 ] && [ "${walked:-0}" -gt $((3 * ${idle:-0})) ]; then
      pass "game: Enter started stage 1 and W moved the view ($walked pixels changed walking, $idle standing)"
    else
      fail "game: Enter and W: $walked pixels changed walking, $idle standing"
    fi
  else
    fail "game: no title after answering No"
  fi
  quit_normally windowed "$window"
fi
wineserver-stable -w

# ---- A missing sound file: its box, its log line, a failed run ----
mv "$game/data/sound/bosu08.wav" "$work/bosu08.wav"
start_answering nosound n || true
error=$(find_window Error 60)
if [ -n "$error" ]; then
  answer "$error" Return
  wait_exit nosound 30 || true
  # The line names the file between 「 and 」 (CP932 81 75 and 81 76).
  if LC_ALL=C grep -qF "$(printf ' ||  Error:\x81\x75bosu08.wav\x81\x76')" "$game/Log.txt" &&
     [ "$(cat "$work/nosound.status")" != 0 ]; then
    pass "game: a missing sound file gives its box, its log line and a failed run (status $(cat "$work/nosound.status"))"
  else
    fail "game: missing sound: status $(cat "$work/nosound.status" 2>/dev/null)"; cat "$game/Log.txt"
  fi
else
  fail "game: no box for the missing sound file"
fi
mv "$work/bosu08.wav" "$game/data/sound/bosu08.wav"
wineserver-stable -w

# ---- Full screen: Yes, the title, Escape ----
# A 640 x 480 display mode needs a screen that can change its mode: Wine's virtual desktop fakes the
# change that Xvfb cannot make. The status is then the desktop's; the log's normal end is the game's own.
if start_answering fullscreen y explorer /desktop=Quillmoor,1280x1024; then
  window=$(find_window Quillmoor 30)
  if [ -n "$window" ] && wait_title "$window" 60 root; then
    pass "game: answered Yes, the title is drawn full screen"
  else
    fail "game: no title after answering Yes"
  fi
  quit_normally fullscreen "$window"
fi
wineserver-stable -w
