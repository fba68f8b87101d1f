#!/usr/bin/env bash
# Sets up, builds and starts the game from the repository folder, which holds data/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
exec ./build/quillmoor
