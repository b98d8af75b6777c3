#!/bin/sh
# Runs the command unless tools/wine32.sh runs 32-bit Wine under the user-mode emulator here:
# then it says why and exits 77, which the test reports as skipped.
#   unless_emulated.sh tools/wine32.sh COMMAND [ARGS...]
wine32=$1
shift
if [ "$(sh "$wine32" --mode)" = emulated ]; then
    echo "skipped: 32-bit Wine runs under the emulator here, and the emulator stops in the platform's media graph and sound device"
    exit 77
fi
exec "$@"
