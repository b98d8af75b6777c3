#!/bin/sh
# Every test of every build: installs what is missing, builds the presets, and runs their tests:
# native units and end-to-end runs, the same under AddressSanitizer and UndefinedBehaviorSanitizer,
# short fuzzer runs, the checks of the shipping 32-bit DLLs and their sessions under 32-bit Wine,
# the 64-bit Windows build under Wine.
set -eu
cd "$(dirname "$0")/.."

sh tools/ensure-packages.sh test
for preset in native sanitize fuzz win32 win64; do
    echo "== build: $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
for preset in native sanitize fuzz win32 win64; do
    echo "== test: $preset"
    ctest --preset "$preset"
done
echo "== every test passed"
