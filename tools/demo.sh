#!/bin/sh
# The demo: builds the native bench and runs the autopilot panel through a scripted session.
set -eu
cd "$(dirname "$0")/.."

sh tools/ensure-packages.sh demo
cmake --preset native >/dev/null
cmake --build --preset native
out=build/native/out
mkdir -p out/demo
echo "== panelhost on the autopilot switch panel (autohelm.gau)"
"$out/panelhost" --script tools/demo/autohelm.script "$out/autohelm.so" autohelm.gau | tee out/demo/autohelm.trace
echo "== the trace is in out/demo/autohelm.trace"
