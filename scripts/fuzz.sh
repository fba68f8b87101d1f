#!/usr/bin/env bash
# Builds the fuzz targets with clang under AddressSanitizer and UBSan into build-fuzz/, then, for each
# target, replays its corpus (fuzz/corpus/NAME/) and fuzzes for a while.
#   scripts/fuzz.sh          replay every corpus, then 10 s of fuzzing per target (what CI runs)
#   scripts/fuzz.sh 600      replay, then 10 minutes per target (a campaign; new finds land in the corpus)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-10}"

shopt -s nullglob
targets=(fuzz/*_fuzz.cpp)
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz: no targets"
  exit 0
fi

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMOOR_FUZZ=ON \
  -DQUILLMOOR_SANITIZE=ON -DQUILLMOOR_TESTS=OFF -DQUILLMOOR_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" > build-fuzz.log 2>&1 || { cat build-fuzz.log; exit 1; }
cmake --build build-fuzz -j"$(nproc)" 2>&1 | tail -n 20

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
for source in "${targets[@]}"; do
  name=$(basename "$source" .cpp)
  corpus="fuzz/corpus/${name%_fuzz}"
  mkdir -p "$corpus"
  work=$(mktemp -d)
  echo "fuzz: $name: replaying $(ls "$corpus" | wc -l) inputs, then ${seconds}s"
  if ! (cd "$work" && "$OLDPWD/build-fuzz/fuzz/$name" -runs=0 "$OLDPWD/$corpus" > "$work/replay.log" 2>&1); then
    tail -n 40 "$work/replay.log"; failed=1; continue
  fi
  if ! (cd "$work" && "$OLDPWD/build-fuzz/fuzz/$name" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
        "$work" "$OLDPWD/$corpus" > "$work/fuzz.log" 2>&1); then
    tail -n 40 "$work/fuzz.log"; failed=1
  fi
  rm -rf "$work"
done
exit $failed
