#!/usr/bin/env bash
# The Debian package as a player's machine takes it: scripts/package.sh builds it, then
#  - lintian and appstreamcli find no error, and no warning but the ones explained below;
#  - its control fields and files, unpacked with dpkg -x into a throw-away root, are the game's;
#  - the game plays from the package: as root (CI), installed with apt-get and played by an ordinary user
#    (Log.txt in the user's state folder) and once by root, then removed with apt-get, leaving no file
#    behind; otherwise played from the throw-away root.
# The X server is a private Xvfb (tests/x11/xvfb.sh). The package is never left installed.
#   tests/package/package_test.sh        (scripts/test.sh runs it)
set -uo pipefail
cd "$(dirname "$0")/../.."
root_dir=$(pwd)

passed=0 failed=0
check() {  # check DESCRIPTION COMMAND...: runs the command, counts and reports the result
  local what=$1
  shift
  if "$@" > "$work/check.out" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $what"
    sed 's/^/  /' "$work/check.out"
  fi
}

work=$(mktemp -d)
chmod 755 "$work"  # the game runs as another user below
installed_here=0
cleanup() {
  if [ "$installed_here" = 1 ]; then DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq quillmoor > /dev/null 2>&1; fi
  sh tests/x11/xvfb.sh stop "$work/x" > /dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

deb=$(scripts/package.sh | tail -n 1)
[ -f "$deb" ] || { echo "package: scripts/package.sh made no package"; exit 1; }
version=$(sed -n 's/^project(Quillmoor VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
arch=$(dpkg --print-architecture)
echo "package: $deb"

# lintian. Its notes (I:) are printed; no warning is expected at all.
lintian -I --pedantic "$deb" 2>&1 | grep -v 'running with root privileges' > "$work/lintian.txt"
cat "$work/lintian.txt"
no_lintian_warning() { ! grep -E '^[EW]: ' "$work/lintian.txt"; }
check "lintian: no error or warning" no_lintian_warning

field() { dpkg-deb -f "$deb" "$1"; }
# Depends is dpkg-shlibdeps' reading of the executable: the libraries it links, each as a package.
depends_on_linked_libraries() {
  local lib
  for lib in libc6 libstdc++6 libsdl2-2.0-0 libgl1 libopenal1 libpng16-16; do
    field Depends | tr , '\n' | sed 's/^ //; s/ (.*//' | grep -qxF "$lib" || { echo "no $lib in: $(field Depends)"; return 1; }
  done
}
only_under_usr() { ! dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '^\./usr/'; }
check "file name from the version in CMakeLists.txt" test "$deb" = "dist/quillmoor_${version}_${arch}.deb"
check "Package, Version, Architecture, Section" \
  test "$(field Package) $(field Version) $(field Architecture) $(field Section)" = "quillmoor $version $arch games"
check "Depends: the linked libraries" depends_on_linked_libraries
check "only files under /usr" only_under_usr

# The files, in a throw-away root.
fs=$work/root
dpkg -x "$deb" "$fs"
all_of_data() { diff <(cd data && find . -type f | sort) <(cd "$fs/usr/share/quillmoor/data" && find . -type f | sort); }
menu_entry() {
  desktop-file-validate "$fs/usr/share/applications/quillmoor.desktop" &&
    grep -qx 'Exec="/usr/games/quillmoor"' "$fs/usr/share/applications/quillmoor.desktop"
}
icons() {
  local n
  for n in 16 32 48 64 128 256; do
    file "$fs/usr/share/icons/hicolor/${n}x$n/apps/quillmoor.png" | grep -q "PNG image data, $n x $n, 8-bit/color RGBA" ||
      { echo "no $n-pixel icon"; return 1; }
  done
}
manual_and_notes() {
  zcat "$fs/usr/share/man/man6/quillmoor.6.gz" | grep -q '^quillmoor \\- ' &&
    zcat "$fs/usr/share/doc/quillmoor/changelog.gz" | head -n 1 | grep -qF "quillmoor ($version) " &&
    test -s "$fs/usr/share/doc/quillmoor/copyright"
}
check "the game at /usr/games/quillmoor" test -x "$fs/usr/games/quillmoor"
check "every file of data/" all_of_data
check "the menu entry: valid, starting the packaged game" menu_entry
check "the icons" icons
check "the manual page and the notes" manual_and_notes

# The listing: its release is this version; appstreamcli's one warning is the component id, which is not
# reverse-DNS: the project has no domain of its own to name it after yet, and an id is for good.
metainfo=$fs/usr/share/metainfo/quillmoor.metainfo.xml
check "the listing's release" grep -q "<release version=\"$version\" date=\"[0-9-]*\"/>" "$metainfo"
appstreamcli validate --no-net "$metainfo" > "$work/appstream.txt" 2>&1
cat "$work/appstream.txt"
listing_valid() { ! grep -E '^E: |^W: ' "$work/appstream.txt" | grep -v '^W: .*: cid-desktopapp-is-not-rdns quillmoor$'; }
check "appstreamcli: no error, no warning but the id's" listing_valid

# Playing the packaged game: the whole game, title to title, from the replay the stage tests use. The
# report must pass the clear screen and end on the title, with a normal end in the Log.txt it names.
sh tests/x11/xvfb.sh start "$work/x" > /dev/null
cp tests/replays/playthrough.replay "$work/"
printf 'answer no\nframes 60\nat 30 key escape\nprint at 29\n' > "$work/title.replay"
chmod 644 "$work"/*.replay
play() {  # play GAME REPLAY STATE_HOME [RUNNER...]: the run ends normally, on the title
  local game=$1 replay=$2 state=$3
  shift 3
  (cd "$work" && sh "$root_dir/tests/x11/xvfb.sh" run "$work/x" env ALSOFT_DRIVERS=null XDG_STATE_HOME="$state" "$@" \
    "$game" --replay --unpaced "$replay") > "$work/play.out" 2>&1 || { tail -n 20 "$work/play.out"; return 1; }
  grep '^frame ' "$work/play.out" | tail -n 1 | grep ' scene title ' && grep '^end frames .* exit 0 ' "$work/play.out"
}
passed_clear() { grep -q '^frame [0-9]* scene clear ' "$work/play.out"; }
normal_end() { iconv -f CP932 -t UTF-8 "$1" | tr -d '\r' | grep -q ' ||  正常終了$'; }

if [ "$(id -u)" -ne 0 ]; then
  check "the unpacked game plays the whole game" play "$fs/usr/games/quillmoor" playthrough.replay "$work/state"
  check "... through the clear screen" passed_clear
  check "... logging beside its data" normal_end "$fs/usr/share/quillmoor/Log.txt"
elif dpkg-query -W -f='${Status}' quillmoor 2>/dev/null | grep -q 'ok installed'; then
  echo "package: quillmoor is installed on this machine already: not installing over it"
else
  installed_here=1
  check "apt-get install" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb"
  # An ordinary user, for whom /usr/share is read-only: Log.txt goes to the state folder.
  install -d -o nobody -g nogroup "$work/state"
  check "installed: an ordinary user plays the whole game" play /usr/games/quillmoor playthrough.replay "$work/state" \
    setpriv --reuid=nobody --regid=nogroup --clear-groups
  check "... through the clear screen" passed_clear
  check "... logging in the state folder" normal_end "$work/state/quillmoor/Log.txt"
  check "... and nothing beside the data" test ! -e /usr/share/quillmoor/Log.txt
  # Root can write beside the data, and does: the package's removal takes that log away too.
  check "installed: root plays to the title" play /usr/games/quillmoor title.replay "$work/root-state"
  check "... logging beside the data" normal_end /usr/share/quillmoor/Log.txt
  dpkg-deb -c "$deb" | grep -v '^d' | awk '{print substr($6, 2)}' > "$work/files"
  check "apt-get remove" env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq quillmoor
  installed_here=0
  # Nor any of dpkg's own records of it: a package with conffiles or a postrm would stay listed.
  nothing_left() {
    ! ls -d $(cat "$work/files") /usr/share/quillmoor /usr/share/doc/quillmoor /var/lib/dpkg/info/quillmoor.* 2>/dev/null
  }
  check "no file of the package left" nothing_left
fi

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
