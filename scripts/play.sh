#!/usr/bin/env bash
# Sets up, builds and starts the game from the repository folder, which holds data/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# Only what playing needs: the game and its content. The tests and benchmarks are scripts/test.sh's.
scripts/build.sh quillmoor content
exec ./build/quillmoor
