#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite on a fresh machine: unit and headless integration
# tests, rendering tests under Xvfb, the include check, the short fuzz-corpus replays, and the headless
# suite again under the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check_includes.sh
scripts/build.sh

# Rendering tests need an X server; use the running one or start a private Xvfb.
xvfb_pid=""
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  for n in $(seq 90 120); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      xvfb_pid=$!
      export DISPLAY=":$n"
      break
    fi
  done
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true' EXIT

# Sound tests use OpenAL Soft's own outputs, never a speaker.
export ALSOFT_DRIVERS=null

(cd build && ctest --output-on-failure -j2 --timeout 300)

# Every file reader's fuzz corpus under AddressSanitizer and UBSan, plus a short fuzzing run.
scripts/fuzz.sh 10

# The headless suite and the play-through once more under AddressSanitizer, UBSan and LeakSanitizer.
scripts/asan.sh
