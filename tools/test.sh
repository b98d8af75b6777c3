#!/bin/sh
# Every test of every build: installs what is missing, builds the presets, and runs their tests:
# native units and end-to-end runs, the same under AddressSanitizer and UndefinedBehaviorSanitizer
# and the fuzzers (one clang build), the checks of the shipping 32-bit DLLs and their sessions
# under 32-bit Wine, the 64-bit Windows build under Wine. Each step prints the seconds it took.
#
# The steps overlap where one computes and another waits: the packages the Linux builds need come
# first, and the rest (the Windows compilers, Wine, the browser) install while the native preset
# builds; the native tests, and then the Windows presets' tests one after the other, run beside
# the builds and tests that follow. The builds run at a lower priority than the tests, so that a
# test that keeps time (a Wine session played in real time, a server's deadline) is not slowed by
# a compiler.
set -eu
cd "$(dirname "$0")/.."

started=$(date +%s)
logs=build/test-steps
rm -rf "$logs"
mkdir -p "$logs"

# step NAME COMMAND...: the command run, and its seconds said; its status returned.
step() {
    name=$1
    shift
    echo "== $name"
    from=$(date +%s)
    status=0
    "$@" || status=$?
    echo "== $name: $(($(date +%s) - from)) s$([ "$status" -eq 0 ] || echo ", status $status")"
    return "$status"
}

# A step in the background, its output kept and said whole when it is joined: in the background
# NAME COMMAND..., then joined NAME. The name is a file name.
in_background() {
    name=$1
    shift
    (
        status=0
        step "$name" "$@" >"$logs/$name.log" 2>&1 || status=$?
        echo "$status" >"$logs/$name.status"
    ) &
    echo $! >"$logs/$name.pid"
}
joined() {
    wait "$(cat "$logs/$1.pid")" || true
    cat "$logs/$1.log"
    return "$(cat "$logs/$1.status")"
}

# What failed, said at the end; the steps that did not need it go on.
failed=""
note_failure() {
    failed="$failed $1"
}

# Every build and test has a bound, far above what it takes (docs/testing.md), so none waits for
# ever; a preset is configured and built at a lower priority.
build() {
    timeout -k 30 2400 nice -n 10 sh -c "cmake --preset $1 >/dev/null && cmake --build --preset $1"
}
run_tests() {
    timeout -k 30 2400 ctest --preset "$1"
}

# A package that cannot be installed (a mirror mid-sync) fails the command, but only at its end:
# the tests that do not need the package still run and say what they find.
step "packages: the Linux builds'" sh tools/ensure-packages.sh builds || note_failure "packages"
in_background "packages" sh tools/ensure-packages.sh test

native=0
step "build: native" build native || native=$?
[ "$native" -eq 0 ] || note_failure "build:native"
joined "packages" || note_failure "packages"

# The native build's tests, beside the builds that follow. The Windows builds' tests use the
# native build's programs; they run one preset after the other, as many Wine runs at once as one
# preset's tests make (Wine's media framework has been seen to hang with more).
[ "$native" -eq 0 ] && in_background "test-native" run_tests native
# run_after NAME PRESET: a preset's tests once the step NAME has ended.
run_after() {
    while [ ! -f "$logs/$1.status" ]; do sleep 1; done
    run_tests "$2"
}
echo 0 >"$logs/start.status"
after=start
for preset in win32 win64; do
    if [ "$native" -eq 0 ] && step "build: $preset" build "$preset"; then
        in_background "test-$preset" run_after "$after" "$preset"
        after="test-$preset"
    else
        note_failure "build:$preset"
    fi
done
if step "build: sanitize" build sanitize; then
    step "test: sanitize" run_tests sanitize || note_failure "test:sanitize"
    step "test: fuzz" run_tests fuzz || note_failure "test:fuzz"
else
    note_failure "build:sanitize"
fi
for tests in test-native test-win32 test-win64; do
    [ -f "$logs/$tests.pid" ] || continue
    joined "$tests" || note_failure "$tests"
done

if [ -n "$failed" ]; then
    echo "== failed:$failed (said above; the steps that did not need them ran) in $(($(date +%s) - started)) s" >&2
    case "$failed" in
        *packages*) echo "== packages are missing (said above, after \"ensure-packages\")" >&2 ;;
    esac
    exit 1
fi
echo "== every test passed in $(($(date +%s) - started)) s ($(sh tools/wine32.sh --mode) 32-bit Wine)"
