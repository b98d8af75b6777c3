#!/bin/sh
# The demo: builds the native bench and both gauges, and runs each through a scripted session
# against the simulated devices, writing pictures and traces to out/demo/.
set -eu
cd "$(dirname "$0")/.."

sh tools/ensure-packages.sh demo
cmake --preset native >/dev/null
cmake --build --preset native
out=build/native/out
demo=out/demo
rm -rf "$demo"
mkdir -p "$demo/Sound"
"$out/demo_songs" "$demo/Sound"

echo "== the radio (radio.so, gauge tuneset): off, CD, FM preset 4, AM preset 5, paused"
"$out/panelhost" --cwd "$demo" --cd-tracks 12 --cd-track-seconds 20 --script tools/demo/radio.script \
    "$out/radio.so" tuneset > "$demo/radio.trace"
cat "$demo/radio.trace"

echo "== the autopilot (autohelm.so, gauge autohelm.gau): the levers in each position"
"$out/panelhost" --cwd "$demo" --script tools/demo/autohelm.script "$out/autohelm.so" autohelm.gau \
    > "$demo/autohelm.trace"
cat "$demo/autohelm.trace"

echo
echo "== pictures and traces are in $(pwd)/$demo:"
ls "$demo" | sed 's/^/   /'
