#!/bin/sh
# tools/ensure-packages.sh against a stand-in apt and dpkg: a mirror whose index fails some tries
# or every try, or that never answers; a package that cannot be installed, an install that claims
# success but leaves a package out. The waits between tries are noted, not waited. Each case says
# what it expected and what it got.
#   ensure_packages_test.sh tools/ensure-packages.sh
set -u
script=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# The stand-ins: dpkg-query answers from the file of installed packages; apt-get update fails
# while its count of failures lasts; apt-get install installs all it is given, or nothing when one
# of them is in the uninstallable list, or claims success and installs nothing when told to lie.
mkdir -p "$work/bin"
# dpkg-query answers a line for each architecture the package is installed for: a name in the
# file is the machine's own (amd64), NAME:i386 the 32-bit one. A package that is the same for
# every machine is of the architecture "all", as Debian's dpkg says of these three.
cat >"$work/bin/dpkg-query" <<'STUB'
#!/bin/sh
for package; do :; done
found=1
own=amd64
case "$package" in
    fonts-liberation|nlohmann-json3-dev|python3-selenium) own=all ;;
esac
grep -qx "$package" "$FAKE/installed" && echo "install ok installed $own" && found=0
grep -qx "$package:i386" "$FAKE/installed" && echo "install ok installed i386" && found=0
exit $found
STUB
cat >"$work/bin/dpkg" <<'STUB'
#!/bin/sh
[ "$1" = --print-architecture ] && echo amd64 || echo i386
STUB
cat >"$work/bin/apt-get" <<'STUB'
#!/bin/sh
echo "$*" >>"$FAKE/calls"
case "$1" in
    update)
        # a mirror that never answers: the stand-in waits until it is ended
        if [ -f "$FAKE/hang" ]; then
            echo $$ >>"$FAKE/hung"
            exec /bin/sleep 3600
        fi
        left=$(cat "$FAKE/update_failures")
        if [ "$left" -gt 0 ]; then
            echo $((left - 1)) >"$FAKE/update_failures"
            echo "E: Failed to fetch http://mirror.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
            echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
            exit 100
        fi
        exit 0 ;;
    install)
        shift 3
        for package; do
            if grep -qx "$package" "$FAKE/uninstallable"; then
                echo "E: Unable to correct problems, you have held broken packages."
                exit 100
            fi
        done
        [ -f "$FAKE/lie" ] && exit 0
        for package; do echo "$package" >>"$FAKE/installed"; done
        exit 0 ;;
esac
STUB
cat >"$work/bin/sudo" <<'STUB'
#!/bin/sh
exec "$@"
STUB
# The wait between tries, said and not waited: each wait's seconds noted.
cat >"$work/bin/sleep" <<'STUB'
#!/bin/sh
echo "$*" >>"$FAKE/waits"
STUB
chmod +x "$work/bin/"*

# The waits between tries are APT_RETRY_SECONDS (7 here); a mirror that never answers is given
# APT_TIME_LIMIT (2 s here) a try.
# name | job | installed before | update failures (hang: never answers) | uninstallable | lie | status | updates | waits | lines the output must hold (@-separated)
cases="everything there|measure|ALL|0|||0|0||
a mirror that heals on the third try|measure||2|||0|3|7 7|apt-get update failed (status 100, try 1 of 3); again in 7 s@apt-get update failed (status 100, try 2 of 3); again in 7 s
a mirror stale at every try, the install works all the same|measure||5|||0|3|7 7|apt-get update failed 3 times (status 100); installing from the indexes read
a mirror that never answers, ended at each try|measure||hang|||0|3|7 7|apt-get update failed (status 124, try 1 of 3); again in 7 s@apt-get update failed 3 times (status 124); installing from the indexes read
a package that cannot be had|demo||5|chromium||1|3|7 7|ensure-packages: these packages are not installed (apt-get install ended with status 100):@  chromium: needed by the demo's picture of the live panel, the page's test in Chromium@  http://mirror.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz
an install that says it worked but did not|measure||0||yes|1|1||  valgrind: needed by the measurements and the native tests that count instructions
a 32-bit package does not stand for the machine's own|measure|I386|0|||0|1||Installing: valgrind
a 32-bit decoder that cannot be had names its test|test||0|gstreamer1.0-libav:i386||1|1||  gstreamer1.0-libav:i386: needed by the shipped 32-bit radio's WMA and MIDI songs under 32-bit Wine (win32: wine32_radio_sound)"
echo "$cases" | while IFS='|' read -r name job before failures uninstallable lie status updates waits lines; do
    export FAKE="$work/$(echo "$name" | tr -c 'a-z\n' '_')"
    mkdir -p "$FAKE"
    : >"$FAKE/installed"
    : >"$FAKE/calls"
    if [ "$before" = ALL ] || [ "$before" = I386 ]; then
        for package in cmake ninja-build g++ pkg-config libpng-dev zlib1g-dev libfreetype-dev fonts-liberation \
                libboost1.81-dev nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev; do
            echo "$package" >>"$FAKE/installed"
        done
        # I386: valgrind is there for i386 only
        [ "$before" = ALL ] && echo valgrind >>"$FAKE/installed" || echo valgrind:i386 >>"$FAKE/installed"
    fi
    : >"$FAKE/waits"
    if [ "$failures" = hang ]; then
        touch "$FAKE/hang"
        failures=0
    fi
    echo "$failures" >"$FAKE/update_failures"
    echo "$uninstallable" >"$FAKE/uninstallable"
    [ -n "$lie" ] && touch "$FAKE/lie"
    got=0
    # bounded here too, so that a script that waits for ever fails the case instead
    PATH="$work/bin:$PATH" APT_RETRY_SECONDS=7 APT_TIME_LIMIT=2 timeout -k 5 60 sh "$script" "$job" >"$FAKE/out" 2>&1 ||
        got=$?
    fail() {
        echo "FAIL $name: $*"
        sed 's/^/    | /' "$FAKE/out"
        echo 1 >>"$work/failed"
        echo 1 >>"$FAKE/failed"
    }
    [ "$got" -eq "$status" ] || fail "expected status $status, got $got"
    got_updates=$(grep -c '^update' "$FAKE/calls")
    [ "$got_updates" -eq "$updates" ] || fail "expected $updates apt-get update runs, got $got_updates"
    got_waits=$(tr '\n' ' ' <"$FAKE/waits" | sed 's/ $//')
    [ "$got_waits" = "$waits" ] || fail "expected the waits between tries [$waits] s, got [$got_waits]"
    # each stand-in that never answered was ended with its try
    if [ -f "$FAKE/hung" ]; then
        for pid in $(cat "$FAKE/hung"); do
            if kill -0 "$pid" 2>/dev/null; then
                kill -KILL "$pid"
                fail "expected the apt-get that never answered ended at its try, process $pid still runs"
            fi
        done
    fi
    echo "$lines" | tr '@' '\n' | while IFS= read -r line; do
        [ -z "$line" ] || grep -qxF -- "$line" "$FAKE/out" ||
            grep -qF -- "ensure-packages: $line" "$FAKE/out" || fail "expected the line: $line"
    done
    # whatever failed, what could be installed is installed: only the uninstallable is missing
    if [ "$before" = I386 ] && ! grep -qx valgrind "$FAKE/installed"; then
        fail "expected valgrind installed for the machine's own architecture"
    fi
    if [ -n "$uninstallable" ]; then
        grep -qx curl "$FAKE/installed" || fail "expected curl installed one by one, past the one that failed"
        grep -qx "$uninstallable" "$FAKE/installed" && fail "expected $uninstallable not installed"
    fi
    if [ "$got" -eq 0 ] && grep -q 'not installed' "$FAKE/out"; then
        fail "success reported with a package said missing"
    fi
    [ -f "$FAKE/failed" ] || echo "ok   $name"
done
[ -f "$work/failed" ] && exit 1
exit 0
