#!/bin/sh
# The shortcut finder's power, shown on the four stages as they were before their redesign (kept here
# with their solutions; their meshes are generated into the build). With fixed seeds it finds, on each
# stage, one of the shortcuts a tester found there by hand; the replay it writes for each is played by
# the replay runner and by the finder's own check to the same frame and eye, meeting the same gate. The
# timing sweep finds stage 2's laser walked through blind in most start timings.
#   old_stages_test.sh FINDER REPLAY_RUNNER DIR GATES_DIR
set -u
finder=$1 runner=$2 dir=$3 gates=$4
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

"$finder" --dir "$dir" --gates "$gates" --seed 1 --runs 300 --first --out "$out" >"$out/report"
status=$?
cat "$out/report"
[ "$status" -eq 1 ] || fail "the search ended with status $status, not 1 (shortcuts found)"

for stage in 1 2 3 4; do
    case $stage in
    1) known="terrace-unbent door-shut" ;;
    2) known="gallery-without-lift door-shut" ;;
    3) known="gap-without-slab cliff-without-slab" ;;
    4) known="cliff-without-slab" ;;
    esac
    line=$(grep "^shortcut [^ ]* stage $stage checkpoint " "$out/report" | head -n 1)
    [ -n "$line" ] || fail "nothing found on stage $stage"
    # shortcut NAME stage N checkpoint C seed S frame F eye X,Y,Z replay PATH
    set -- $line
    name=$2 frame=${10} eye=${12} replay=${14}
    case " $known " in
    *" $name "*) ;;
    *) fail "stage $stage: $name is none of the known shortcuts ($known)" ;;
    esac
    "$finder" --dir "$dir" --gates "$gates" --check "$replay" >"$out/check"
    status=$?
    cat "$out/check"
    [ "$status" -eq 1 ] || fail "stage $stage: the check of $replay ended with status $status, not 1"
    grep -qx "gate $name met stage $stage frame $frame eye $eye" "$out/check" ||
        fail "stage $stage: the check does not meet $name in frame $frame with the eye at $eye"
    "$runner" --dir "$dir" "$replay" >"$out/played" || fail "stage $stage: the replay runner failed on $replay"
    grep -A1 "^frame $frame scene game " "$out/played" | grep -q "^player pos $eye " ||
        fail "stage $stage: the replay runner does not show the eye at $eye in frame $frame"
done

# The sweep alone (no random runs): it must find most start timings walking through alive.
"$finder" --dir "$dir" --gates "$gates" --stage 2 --runs 0 --out "$out" >"$out/sweep"
status=$?
cat "$out/sweep"
[ "$status" -eq 1 ] || fail "the sweep ended with status $status, not 1"
line=$(grep "^sweep laser-blind stage 2 checkpoint 404 starts 60 dead " "$out/sweep")
[ -n "$line" ] || fail "no sweep report"
set -- $line
dead=${10}
case $line in *" shortcut replay "*) ;; *) fail "the sweep does not call it a shortcut with a replay" ;; esac
[ "$dead" -lt 30 ] || fail "$dead of 60 start timings died: not walked through most of the time"
echo "PASS"
