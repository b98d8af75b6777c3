#!/bin/sh
# What the radio leaves behind in a simulator running under wine64: the 64-bit bench reinstalls
# the radio (the real media graph and sound device, the CD and mixer simulated) and at chosen
# cycles prints its census (Windows' count of the process's threads, its working set) while this
# script reads the kernel's count of the same process (/proc/PID/task, VmRSS).
#   sh tools/wine-census.sh [none|mp3|wma] [CYCLES]
# none: no songs in the Sound folder; mp3, wma: the demo's six songs under those names. CYCLES
# (default 200) reinstalls, with a census at 0, 50 and CYCLES. The win64 and native presets must
# be built (sh tools/test.sh builds them); RADIO=path measures another build of radio.gau.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
songs=${1:-none}
cycles=${2:-200}
radio=${RADIO:-$root/build/win64/out/radio.gau}
bench=$root/build/win64/out/panelhost.exe
prefix=$root/build/win64/wineprefix
[ -f "$bench" ] && [ -f "$radio" ] || { echo "wine-census: build the win64 preset first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Sound"
case "$songs" in
    none) ;;
    mp3 | wma)
        mkdir -p "$work/demo"
        "$root/build/native/out/demo_songs" "$work/demo" >/dev/null
        for n in 1 2 3 4 5 6; do cp "$work/demo/song$n.wav" "$work/Sound/song$n.$songs"; done ;;
    *) echo "wine-census: songs are none, mp3 or wma, not $songs" >&2; exit 2 ;;
esac

# A census, then a pause in which this script reads the process.
{
    echo "census"; echo "wait 1500"
    cycle=0
    while [ "$cycle" -lt "$cycles" ]; do
        cycle=$((cycle + 1))
        echo "reinstall"
        if [ "$cycle" -eq 50 ] || [ "$cycle" -eq "$cycles" ]; then echo "census"; echo "wait 1500"; fi
    done
} >"$work/census.script"

: >"$work/trace"
sh "$root/tests/windows/wine-run.sh" "$prefix" "$bench" --intercept --cwd "Z:$work" \
    --script "Z:$work/census.script" "Z:$radio" tuneset >"$work/trace" 2>/dev/null &
runner=$!

# The Windows process is Wine's 64-bit loader with the bench's name on its command line.
bench_pid() {
    for pid in $(pgrep -f 'panelhost\.exe' || true); do
        case "$(readlink "/proc/$pid/exe" 2>/dev/null)" in
            */wine64*) echo "$pid"; return ;;
        esac
    done
}

echo "songs: $songs"
printf '%-8s %-26s %s\n' cycle "kernel: threads, resident" "Windows: threads, working set"
seen=0
for mark in 0 50 "$cycles"; do
    while [ "$(grep -c '^census' "$work/trace" || true)" -le "$seen" ]; do
        kill -0 "$runner" 2>/dev/null || { echo "wine-census: the bench ended early" >&2; exit 1; }
        sleep 0.1
    done
    seen=$((seen + 1))
    pid=$(bench_pid)
    tasks=$(ls "/proc/$pid/task" | wc -l)
    rss=$(awk '/^VmRSS/ { printf "%.0f MB", $2 / 1024 }' "/proc/$pid/status")
    census=$(grep '^census' "$work/trace" | sed -n "${seen}p" |
        sed 's/census threads=\([0-9-]*\) resident_kb=\([0-9-]*\)/\1 \2/' | awk '{ printf "%s, %.0f MB", $1, $2 / 1024 }')
    printf '%-8s %-26s %s\n' "$mark" "$tasks, $rss" "$census"
done
wait "$runner"
