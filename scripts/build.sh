#!/usr/bin/env bash
# Configures and builds into build/: everything (the game, the tools, the tests, the benchmarks), or
# only the targets named, e.g. scripts/build.sh quillmoor content.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" > build.log 2>&1 || { cat build.log; exit 1; }
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build build -j"$(nproc)" "${targets[@]}" 2>&1 | tail -n 40
