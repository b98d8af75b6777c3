#!/bin/sh
# Runs a Windows program of the build under wine64 in the tests' own prefix, with ALSA's null
# device as the default sound card (or the ALSA configuration WINE_ASOUNDRC names) and a virtual
# display: wine-run.sh PREFIX PROGRAM [ARGS...]
set -eu
prefix=$1
shift
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# The sound card: ALSA's null device, unless WINE_ASOUNDRC names another configuration (the sound
# tests' capture).
export ALSA_CONFIG_PATH="${WINE_ASOUNDRC:-$prefix/asoundrc}"
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64)
if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$prefix"
    printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' > "$prefix/asoundrc"
    "$wine" wineboot -i >/dev/null 2>&1
    /usr/lib/wine/wineserver -w 2>/dev/null || true
fi
# Its displays are looked for from :200, apart from the 32-bit runs' (tools/wine32.sh), which run
# beside them.
exec xvfb-run -a -n 200 "$wine" "$@"
