#!/usr/bin/env bash
# The headless test suite under AddressSanitizer + UBSan, with LeakSanitizer on: builds the game, the
# headless platform, the tools and the tests into build-asan/, then runs every headless test (the stage
# replays and the play-through among them, played by the sanitized replay runner), the content check,
# a shorter soak, a short shortcut search, and the play-through replay once more on its own. The tests
# that need an X server or OpenAL's real output (render, sound_al) stay in the plain build.
#   scripts/asan.sh            what CI runs
set -euo pipefail
cd "$(dirname "$0")/.."

launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMOOR_SANITIZE=ON -DQUILLMOOR_BENCH=OFF \
  "${launcher[@]}" > build-asan.log 2>&1 || { cat build-asan.log; exit 1; }
cmake --build build-asan -j"$(nproc)" --target quillmoor_tests quillmoor_replay quillmoor_soak \
  quillmoor_check_content quillmoor_shortcuts content 2>&1 | tail -n 20

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ALSOFT_DRIVERS=null
leaks=detect_leaks=1:abort_on_error=1:strict_string_checks=1
noleaks=detect_leaks=0:abort_on_error=1:strict_string_checks=1

# The unit and headless tests: addresses and undefined behaviour. Leaks are not checked in this process:
# some tests swap the game's scenes or objects for their own and leave them at exit on purpose. The
# out-of-memory test asks for 2^62 bytes to reach the game's new-handler; AddressSanitizer's own operator
# new reports such a request and ends the process before any handler runs, so it stays in the plain build.
ASAN_OPTIONS=$noleaks build-asan/tests/quillmoor_tests --gtest_brief=1 --gtest_filter='-OutOfMemory.*'

# Whole runs of the game, leaks included: the content check, a shorter soak, and every stage replay.
export ASAN_OPTIONS=$leaks
build-asan/quillmoor_check_content --require-stages data
build-asan/quillmoor_soak --dir . --frames 20000 --seed 7
for replay in tests/replays/*.replay; do
  build-asan/quillmoor_replay --dir . "$replay" > build-asan/replay.out
  tail -n 3 build-asan/replay.out | head -n 1
done

# A short shortcut search on stage 2: its solution to the checkpoints, forked runs and the laser sweep.
# Finding shortcuts (status 1) is the search's business, not the sanitizers'.
status=0
build-asan/quillmoor_shortcuts --dir . --stage 2 --runs 2 --frames 120 --out build-asan/shortcuts \
  > build-asan/shortcuts.out || status=$?
tail -n 2 build-asan/shortcuts.out
[ "$status" -le 1 ] || { echo "asan: the shortcut search ended with status $status"; exit 1; }

# The play-through, from the title through the four stages and the clear screen back to the title.
out=$(build-asan/quillmoor_replay --dir . tests/replays/playthrough.replay)
scenes=$(echo "$out" | sed -n 's/^frame [0-9]* scene \([a-z]*\) .*/\1/p' | uniq | tr '\n' ' ')
[ "$scenes" = "title load game load game load game load game clear title " ] ||
  { echo "asan: the play-through did not come back to the title (scenes: $scenes)"; exit 1; }
echo "asan: clean"
