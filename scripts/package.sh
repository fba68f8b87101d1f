#!/usr/bin/env bash
# Builds the Debian package dist/quillmoor_VERSION_ARCH.deb: a Release build in build-release/ with
# Debian's own compiler and linker flags (hardening included), installed under /usr by CPack, Depends
# worked out by dpkg-shlibdeps. The executable goes to /usr/games, where Debian keeps games (its data
# stays in /usr/share/quillmoor, found from there). Prints the package's path.
#   scripts/package.sh      then: sudo apt install ./dist/quillmoor_VERSION_ARCH.deb
set -euo pipefail
cd "$(dirname "$0")/.."
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DQUILLMOOR_TESTS=OFF -DQUILLMOOR_BENCH=OFF \
  -DCMAKE_INSTALL_BINDIR=games "${launcher[@]}" > build-release.log 2>&1 || { cat build-release.log; exit 1; }
cmake --build build-release -j"$(nproc)" --target quillmoor content icons 2>&1 | tail -n 20
rm -rf build-release/package
(cd build-release && cpack -G DEB) > build-release/cpack.log 2>&1 || { cat build-release/cpack.log; exit 1; }
mkdir -p dist
deb=$(cd build-release/package && ls quillmoor_*.deb)
mv "build-release/package/$deb" "dist/$deb"
echo "dist/$deb"
