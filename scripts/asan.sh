#!/usr/bin/env bash
# Builds the game, its tools and its tests under AddressSanitizer + UBSan (LeakSanitizer on) into
# build-asan/, then runs the test suite there (the replays, the play-through among them, run by the
# sanitized replay runner), a shorter soak, and the play-through replay once more on its own.
#   scripts/asan.sh            what CI runs
set -euo pipefail
cd "$(dirname "$0")/.."

launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMOOR_SANITIZE=ON -DQUILLMOOR_BENCH=OFF \
  "${launcher[@]}" > build-asan.log 2>&1 || { cat build-asan.log; exit 1; }
cmake --build build-asan -j"$(nproc)" 2>&1 | tail -n 20

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions="$PWD/scripts/lsan.supp"
export ALSOFT_DRIVERS=null

# The whole suite except the long soak, which runs below with fewer frames.
(cd build-asan && ctest --output-on-failure -j2 --timeout 600 -E '^soak_100k$')
build-asan/quillmoor_soak --dir . --frames 20000 --seed 7

# The play-through, from the title through the four stages and the clear screen back to the title.
out=$(build-asan/quillmoor_replay --dir . tests/replays/playthrough.replay)
echo "$out" | tail -n 3
echo "$out" | grep -q 'scene title stage 1' || { echo "asan: the play-through did not come back to the title"; exit 1; }
