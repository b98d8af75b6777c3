#!/bin/sh
# The demo: builds the native bench and runs the gauges through scripted sessions.
set -eu
cd "$(dirname "$0")/.."

sh tools/ensure-packages.sh demo
cmake --preset native >/dev/null
cmake --build --preset native
out=build/native/out
mkdir -p out/demo
echo "== panelhost on the tests' probe gauge"
"$out/panelhost" --script tools/demo/probe.script "$out/test-gauges/probe.so" probe610 | tee out/demo/probe610.trace
echo "== the trace is in out/demo/probe610.trace"
