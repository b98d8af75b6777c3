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
    "$@"
    echo "== $name: $(($(date +%s) - from)) s"
}

step "packages" sh tools/ensure-packages.sh test
for preset in native sanitize win32 win64; do
    step "build: $preset" sh -c "cmake --preset $preset >/dev/null && cmake --build --preset $preset"
done
for preset in native sanitize fuzz win32 win64; do
    step "test: $preset" ctest --preset "$preset"
done
echo "== every test passed in $(($(date +%s) - started)) s ($(sh tools/wine32.sh --mode) 32-bit Wine)"
