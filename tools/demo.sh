#!/bin/sh
# The demo: builds the native bench and both gauges, runs each through a scripted session against
# the simulated devices, and takes a picture of the live panel in a browser, writing pictures and
# traces to out/demo/.
#   sh tools/demo.sh          the sessions and the pictures
#   sh tools/demo.sh --live   serves the radio and the autopilot's panel live, in one window with
#                             the demo's songs, until Ctrl-C; PORT chooses the port (8080)
set -eu
cd "$(dirname "$0")/.."

sh tools/ensure-packages.sh demo
cmake --preset native >/dev/null
cmake --build --preset native
out=build/native/out
demo=out/demo

# The live panel: the release's example window, the radio above the autopilot's panel.
serve() {
    exec "$out/panelhost" --cwd "$demo" --serve "$1" --panel tools/release/panel.cfg --gauges "$out"
}

if [ "${1:-}" = --live ]; then
    mkdir -p "$demo/Sound"
    "$out/demo_songs" "$demo/Sound" >/dev/null
    echo "== the live panel: open the address below in a browser; Ctrl-C ends it"
    serve "127.0.0.1:${PORT:-8080}" >/dev/null
fi

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

echo "== the live panel in a browser: the radio on, FM preset 4 playing song 4"
(serve 0) >"$demo/live.trace" 2>"$demo/live.log" &
bench=$!
address=""
for _ in $(seq 100); do
    address=$(sed -n 's/.*the live panel is at \(http:[^ ]*\)$/\1/p' "$demo/live.log")
    [ -n "$address" ] && break
    sleep 0.1
done
if [ -z "$address" ]; then
    kill "$bench" 2>/dev/null || true
    echo "demo: the live panel did not start:" >&2
    cat "$demo/live.log" >&2
    exit 1
fi
for point in "x=453&y=33" "x=452&y=92" "x=274&y=133"; do   # power, FM, preset 4
    curl -s -f -X POST -d '' "${address}press?$point" >/dev/null
    curl -s -f -X POST -d '' "${address}release" >/dev/null
done
profile=$(mktemp -d)
chromium --headless=new --no-sandbox --disable-gpu --disable-background-networking --disable-component-update \
    --disable-sync --no-first-run --mute-audio --user-data-dir="$profile" --window-size=1400,860 \
    --virtual-time-budget=3000 --screenshot="$demo/live-panel.png" "$address" >/dev/null 2>&1 || true
rm -rf "$profile"
kill -TERM "$bench"
wait "$bench" || true
[ -f "$demo/live-panel.png" ] && echo "   live-panel.png: the page at $address" ||
    echo "   (no picture of the page: chromium could not take it)"

echo
echo "== pictures and traces are in $(pwd)/$demo:"
ls "$demo" | sed 's/^/   /'
