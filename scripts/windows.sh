#!/usr/bin/env bash
# The Windows build: sets up (mingw-w64 and Wine from Debian's packages), cross-builds quillmoor.exe and
# its test programs into build-windows/, runs the Windows tests under Wine (tests/windows/run.sh, which
# also needs the Linux build's replay runners and content in build/), and writes
# dist/quillmoor-windows-x64.zip: quillmoor.exe, data/ and readme.txt.
#   scripts/windows.sh            all of it (scripts/test.sh runs it too)
#   scripts/windows.sh --no-test  the build and the zip only
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
test=1
[ "${1:-}" = "--no-test" ] && test=0

# The content (data/) and, for the tests, the Linux reports and pictures to hold the Windows build against.
if [ $test = 1 ]; then scripts/build.sh content quillmoor_replay quillmoor_replay_real; else scripts/build.sh content; fi

launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
# Release: the same -O2 as the Linux build (the replays must match), without the debugging information
# that only lengthens the build (the zip strips it anyway).
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  "${launcher[@]}" > build-windows.log 2>&1 || { cat build-windows.log; exit 1; }
cmake --build build-windows -j"$(nproc)" 2>&1 | tail -n 20

# The zip: the executable without its debugging symbols, the data, the readme with Windows line ends.
rm -rf build-windows/dist && mkdir -p build-windows/dist/Quillmoor dist
x86_64-w64-mingw32-strip -o build-windows/dist/Quillmoor/quillmoor.exe build-windows/quillmoor.exe
cp -r data build-windows/dist/Quillmoor/data
sed 's/$/\r/' dist/windows-readme.txt > build-windows/dist/Quillmoor/readme.txt
rm -f dist/quillmoor-windows-x64.zip
(cd build-windows/dist && zip -qr -X ../../dist/quillmoor-windows-x64.zip Quillmoor)
echo "windows: dist/quillmoor-windows-x64.zip ($(du -k dist/quillmoor-windows-x64.zip | cut -f1) KiB," \
  "quillmoor.exe $(du -k build-windows/dist/Quillmoor/quillmoor.exe | cut -f1) KiB)"

if [ $test = 1 ]; then tests/windows/run.sh build-windows build; fi
