#!/bin/sh
# Runs the command unless tools/wine32.sh would run 32-bit Wine under the user-mode emulator (the
# kernel runs no 32-bit code, or WINE32_MODE=emulated): then it says why and exits 77, which the
# test reports as skipped.
if [ "${WINE32_MODE:-}" = emulated ] || ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "skipped: 32-bit Wine runs under the emulator here, and the emulator stops in the media graph's renders"
    exit 77
fi
exec "$@"
