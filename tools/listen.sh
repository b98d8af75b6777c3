#!/bin/sh
# What the shipped radio plays: the 32-bit radio.gau in the bench under 32-bit Wine, through a
# short session of a pilot's presses (tools/listen/radio.script, the demo's songs), with the sound
# card's stream captured (ALSA's file plugin into a pipe to the sound sink, which holds Wine to
# real time). Writes what the card received to out/listen/radio.wav, and a picture of its
# loudness over time, each press marked and named, to out/listen/radio.png.
#   sh tools/listen.sh
# Where the kernel runs no 32-bit code, 32-bit Wine runs under the emulator, where the platform's
# media graph does not play (docs/testing.md): there the 64-bit build plays the same session, and
# says so. Every program started here has a time limit.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)

sh tools/ensure-packages.sh listen
timeout -k 30 1800 cmake --preset native >/dev/null
timeout -k 30 1800 cmake --build --preset native --target demo_songs sound_sink sound_listen
if [ "$(sh tools/wine32.sh --mode)" = native ]; then
    preset=win32
else
    preset=win64
    echo "== 32-bit Wine runs under the emulator here, where the media graph does not play: the 64-bit build plays the session"
fi
timeout -k 30 1800 cmake --preset "$preset" >/dev/null
timeout -k 30 1800 cmake --build --preset "$preset" --target panelhost radio

out=$root/out/listen
rm -rf "$out"
mkdir -p "$out/Sound"
build/native/out/demo_songs "$out/Sound"
# The sound card: the stream into the sink, named by its rate, channels and format.
printf '%s\n' \
    'pcm.!default { type file; slave.pcm "listen_null"; format "raw";' \
    "    file \"|timeout -k 5 300 $root/build/native/out/sound_sink $out/capture-%r-%c-%f.raw %r %c %f\" }" \
    'pcm.listen_null { type null }' \
    'ctl.!default { type hw card 0 }' >"$out/asoundrc"

bench=$root/build/$preset/out/panelhost.exe
radio=$root/build/$preset/out/radio.gau
script=$root/tools/listen/radio.script
echo "== the radio ($preset radio.gau) under Wine: tools/listen/radio.script"
if [ "$preset" = win32 ]; then
    WINE_ASOUNDRC=$out/asoundrc timeout -k 10 300 sh tools/wine32.sh "$bench" --intercept --cwd "$out" \
        --script "$script" "$radio" tuneset >"$out/radio.trace"
else
    WINE_ASOUNDRC=$out/asoundrc timeout -k 10 300 sh tests/windows/wine-run.sh build/win64/wineprefix "$bench" \
        --intercept --cwd "Z:$out" --script "Z:$script" "Z:$radio" tuneset >"$out/radio.trace" 2>/dev/null
fi

set -- "$out"/capture-*.raw
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    echo "listen: expected one stream at the sound card, found $#: $*" >&2
    exit 1
fi
capture=$1
format=$(basename "$capture" .raw)   # capture-RATE-CHANNELS-FORMAT
rate=$(echo "$format" | cut -d- -f2)
channels=$(echo "$format" | cut -d- -f3)
sample=$(echo "$format" | cut -d- -f4)
timeout -k 5 120 build/native/out/sound_listen "$capture" "$rate" "$channels" "$sample" "$script" \
    radio/resources/click.wav "$out"
rm -f "$capture"
echo "== listen to out/listen/radio.wav; its loudness and the presses: out/listen/radio.png"
