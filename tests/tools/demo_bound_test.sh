#!/bin/sh
# The demo against a browser that never ends: it must say so in one line, end the browser (and
# what the browser started) and the bench, and finish, all within its limit.
#   demo_bound_test.sh SOURCE_DIR NATIVE_BUILD_DIR
set -u
source_dir=$1
build_dir=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
# The demo in a folder of its own: its scripts and the built bench.
mkdir -p "$root/tools" "$root/build" "$root/bin"
cp -r "$source_dir/tools/demo.sh" "$source_dir/tools/demo" "$source_dir/tools/release" "$root/tools/"
ln -s "$build_dir" "$root/build/native"
# A browser that hangs, as one whose picture waits for virtual time that never runs out, with a
# renderer of its own, its picture begun and never finished.
cat >"$root/bin/chromium" <<'STUB'
#!/bin/sh
echo $$ >"$HANGING/browser.pid"
for arg; do
    case "$arg" in
        --screenshot=*) printf '\211PNG\r\n' >"${arg#--screenshot=}" ;;
    esac
done
sleep 3600 &
echo $! >"$HANGING/renderer.pid"
wait
STUB
chmod +x "$root/bin/chromium"
export HANGING="$root"
from=$(date +%s)
PATH="$root/bin:$PATH" DEMO_BUILT=1 BROWSER_LIMIT=3 timeout -k 5 120 sh "$root/tools/demo.sh" >"$root/demo.log" 2>&1
status=$?
took=$(($(date +%s) - from))
failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}
# A process still running: there, and not a zombie waiting for whoever reaps it.
running() {
    [ -r "/proc/$1/stat" ] && [ "$(sed 's/.*) \(.\).*/\1/' "/proc/$1/stat")" != Z ]
}
[ "$status" -eq 0 ] || fail "expected the demo to finish with status 0, got $status"
# the sessions take a few seconds, the browser 3 s and 5 s more at the most to be killed
[ "$took" -le 40 ] || fail "expected the demo to end within 40 s, it took $took s"
grep -qx "   the browser took no picture within 3 s: it was ended, and the demo goes on without live-panel.png" \
    "$root/demo.log" || fail "expected the line that says the browser was ended"
for pid_file in browser.pid renderer.pid; do
    if [ ! -f "$root/$pid_file" ]; then
        fail "the stand-in browser never started ($pid_file)"
    elif running "$(cat "$root/$pid_file")"; then
        kill -KILL "$(cat "$root/$pid_file")"
        fail "expected the browser's $pid_file process ended, it is still running"
    fi
done
port=$(sed -n 's/.*http:\/\/127.0.0.1:\([0-9]*\)\/.*/\1/p' "$root/out/demo/live.log" | head -n 1)
[ -n "$port" ] || fail "the bench never served"
if [ -n "$port" ] && curl -s --max-time 2 "http://127.0.0.1:$port/state" >/dev/null; then
    fail "expected the bench ended, it still answers on port $port"
fi
[ -f "$root/out/demo/live-panel.png" ] && fail "expected no picture, not the one the ended browser began"
[ "$failed" -eq 0 ] || { sed 's/^/    | /' "$root/demo.log"; exit 1; }
echo "ok: the demo ended the browser after 3 s and finished in $took s"
