#!/bin/sh
# Every test of every build: installs what is missing, builds the presets, and runs their tests:
# native units and end-to-end runs, the same under AddressSanitizer and UndefinedBehaviorSanitizer
# and the fuzzers (one clang build), the checks of the shipping 32-bit DLLs and their sessions
# under 32-bit Wine, the 64-bit Windows build under Wine. Each step prints the seconds it took.
set -eu
cd "$(dirname "$0")/.."

started=$(date +%s)
step() {
    name=$1
    shift
    echo "== $name"
    from=$(date +%s)
    status=0
    "$@" || status=$?
    echo "== $name: $(($(date +%s) - from)) s"
    return "$status"
}

# A package that cannot be installed (a mirror mid-sync) fails the command, but only at its end:
# the tests that do not need the package still run and say what they find.
packages=0
step "packages" sh tools/ensure-packages.sh test || packages=$?
missing_packages() {
    echo "== packages are missing (said above, after \"ensure-packages\"): the test command fails" >&2
}
[ "$packages" -eq 0 ] || trap missing_packages EXIT
# Every step has a bound, far above what it takes (docs/performance.md), so none waits for ever.
for preset in native sanitize win32 win64; do
    step "build: $preset" timeout -k 30 2400 sh -c "cmake --preset $preset >/dev/null && cmake --build --preset $preset"
done
for preset in native sanitize fuzz win32 win64; do
    step "test: $preset" timeout -k 30 2400 ctest --preset "$preset"
done
[ "$packages" -eq 0 ] || exit 1
echo "== every test passed in $(($(date +%s) - started)) s ($(sh tools/wine32.sh --mode) 32-bit Wine)"
