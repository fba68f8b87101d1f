#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite on a fresh machine: unit and headless integration
# tests, rendering tests under Xvfb, the include check, the Debian package, the short fuzz-corpus
# replays, and the headless suite again under the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check_includes.sh
scripts/build.sh

# Every test gets what it needs from CTest itself: the tests that open windows start their own Xvfb,
# sound goes to OpenAL's null output. Running ctest in build/ alone gives the same result.
(cd build && ctest --output-on-failure -j2 --timeout 300)

# The Debian package: built from a Release build, checked with lintian and appstreamcli, installed,
# played and removed again (installed only as root; otherwise unpacked into a throw-away root).
tests/package/package_test.sh

# The Windows build from the same sources, its tests under Wine (the pictures and replays held against
# this build's) and its zip.
scripts/windows.sh

# Every file reader's fuzz corpus under AddressSanitizer and UBSan, plus a short fuzzing run.
scripts/fuzz.sh 10

# The headless suite and the play-through once more under AddressSanitizer, UBSan and LeakSanitizer.
scripts/asan.sh
