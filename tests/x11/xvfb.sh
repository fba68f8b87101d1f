#!/bin/sh
# The X server of the tests that open real windows: a private Xvfb of a known size (1280 × 1024, so full
# screen is not 4:3), on a display number the server picks itself, whatever DISPLAY the caller has.
#   xvfb.sh start STATE_DIR      starts it; STATE_DIR/display and STATE_DIR/pid say which
#   xvfb.sh run STATE_DIR CMD..  runs CMD on it
#   xvfb.sh stop STATE_DIR       stops it
set -eu
action=$1 state=$2
shift 2
stop() {
  if [ -s "$state/pid" ]; then
    pid=$(cat "$state/pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  fi
  rm -f "$state/pid" "$state/display"
}
case "$action" in
start)
  mkdir -p "$state"
  stop
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$state/display" </dev/null >"$state/xvfb.log" 2>&1 &
  echo $! >"$state/pid"
  for _ in $(seq 100); do
    [ -s "$state/display" ] && { echo "Xvfb on :$(cat "$state/display"), 1280x1024"; exit 0; }
    sleep 0.1
  done
  cat "$state/xvfb.log"
  stop
  exit 1
  ;;
run)
  [ -s "$state/display" ] || { echo "no Xvfb started in $state"; exit 1; }
  export DISPLAY=":$(cat "$state/display")"
  exec "$@"
  ;;
stop) stop ;;
*) echo "usage: $0 start|run|stop STATE_DIR [CMD...]"; exit 2 ;;
esac
