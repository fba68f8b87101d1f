#!/usr/bin/env bash
# Configures and builds everything into build/ (the game, the tools, the tests, the benchmarks).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > build.log 2>&1 || { cat build.log; exit 1; }
cmake --build build -j"$(nproc)" 2>&1 | tail -n 40
