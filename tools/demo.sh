#!/bin/sh
# The demo: builds the native bench and both gauges, runs each through a scripted session against
# the simulated devices, and takes a picture of the live panel in a browser, writing pictures and
# traces to out/demo/.
#   sh tools/demo.sh          the sessions and the pictures
#   sh tools/demo.sh --live   serves the radio and the autopilot's panel live, in one window with
#                             the demo's songs, until Ctrl-C; PORT chooses the port (8080)
set -eu
cd "$(dirname "$0")/.."

# No step waits without a bound: the build, each session, the browser and the bench have a limit.
# The build is of what the demo runs, the bench, the two gauges and the songs' writer, not the
# tests and benchmarks of the preset. DEMO_BUILT=1 says they are built already (the demo's own
# test).
if [ "${DEMO_BUILT:-}" != 1 ]; then
    sh tools/ensure-packages.sh demo
    timeout -k 30 1800 cmake --preset native >/dev/null
    timeout -k 30 1800 cmake --build --preset native --target panelhost radio autohelm demo_songs
fi
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
timeout -k 5 120 "$out/panelhost" --cwd "$demo" --cd-tracks 12 --cd-track-seconds 20 --script tools/demo/radio.script \
    "$out/radio.so" tuneset > "$demo/radio.trace"
cat "$demo/radio.trace"

echo "== the autopilot (autohelm.so, gauge autohelm.gau): the levers in each position"
timeout -k 5 120 "$out/panelhost" --cwd "$demo" --script tools/demo/autohelm.script "$out/autohelm.so" autohelm.gau \
    > "$demo/autohelm.trace"
cat "$demo/autohelm.trace"

echo "== the live panel in a browser: the radio on, FM preset 4 playing song 4"
# The bench serves until it is ended; its start, the browser and its end each have a limit.
timeout -k 5 600 "$out/panelhost" --cwd "$demo" --serve 0 --panel tools/release/panel.cfg --gauges "$out" \
    >"$demo/live.trace" 2>"$demo/live.log" &
bench=$!
end_bench() {
    kill -TERM "$bench" 2>/dev/null || true
    for _ in $(seq 100); do
        kill -0 "$bench" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$bench" 2>/dev/null || true
    wait "$bench" 2>/dev/null || true
}
address=""
for _ in $(seq 100); do
    address=$(sed -n 's/.*the live panel is at \(http:[^ ]*\)$/\1/p' "$demo/live.log")
    [ -n "$address" ] && break
    sleep 0.1
done
if [ -z "$address" ]; then
    end_bench
    echo "demo: the live panel did not start:" >&2
    cat "$demo/live.log" >&2
    exit 1
fi
for point in "x=453&y=33" "x=452&y=92" "x=274&y=133"; do   # power, FM, preset 4
    curl -s -f --max-time 10 -X POST -d '' "${address}press?$point" >/dev/null
    curl -s -f --max-time 10 -X POST -d '' "${address}release" >/dev/null
done
# The page's long poll keeps the network busy, and a browser's virtual time stands still while
# a request is open: the picture is of the page with "?still", which asks for the state once and
# then settles, taken when 5 s of virtual time have passed; else after 15 s by the wall clock
# (--timeout). The browser is ended if it has not done either after BROWSER_LIMIT seconds.
# timeout signals the browser's whole process group, its renderers with it.
profile=$(mktemp -d)
limit=${BROWSER_LIMIT:-60}
from=$(date +%s%N)
browser=0
timeout -k 5 "$limit" chromium --headless=new --no-sandbox --disable-gpu --disable-background-networking \
    --disable-component-update --disable-sync --no-first-run --mute-audio --user-data-dir="$profile" \
    --window-size=1400,860 --virtual-time-budget=5000 --timeout=15000 --screenshot="$demo/live-panel.png" \
    "${address}?still" >"$demo/browser.log" 2>&1 ||
    browser=$?
took_ms=$((($(date +%s%N) - from) / 1000000))
took="$((took_ms / 1000)).$((took_ms % 1000 / 100))"
rm -rf "$profile"
end_bench
if [ "$browser" -eq 124 ] || [ "$browser" -eq 137 ]; then
    rm -f "$demo/live-panel.png"
    echo "   the browser took no picture within $limit s: it was ended, and the demo goes on without live-panel.png"
elif [ -s "$demo/live-panel.png" ]; then
    echo "   live-panel.png: the page at $address, taken in $took s"
else
    echo "   (no picture of the page: chromium ended with status $browser; see $demo/browser.log)"
fi

echo
echo "== pictures and traces are in $(pwd)/$demo:"
ls "$demo" | sed 's/^/   /'
