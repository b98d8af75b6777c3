#!/bin/sh
# Runs a 32-bit Windows program under 32-bit Wine in the tests' own prefix, with ALSA's null device
# as the default sound card (or the ALSA configuration WINE_ASOUNDRC names) and a virtual display:
# tools/wine32.sh PROGRAM [ARGS...]; with --mode it prints whether that is on the kernel ("native")
# or under the emulator ("emulated").
#
# Where the kernel runs 32-bit code, Wine's 32-bit loader runs as it is; where it refuses it, the
# loader runs under the user-mode emulator qemu-i386, with no handler registered on the machine.
# WINE32_MODE=native or WINE32_MODE=emulated chooses; the default tries the kernel once. Under the
# emulator Wine must not re-execute its loader, and the program cannot start children.
#
# The prefix (build/win32/wineprefix, or WINE32_PREFIX) is made on first use by the 64-bit
# wineboot, which fills its 32-bit half (syswow64 and the 32-bit view of the registry, where the
# media graph's and sound device's classes are) from Wine's i386 files; it is made in a folder of
# its own and put in place whole, so a prefix that exists is complete. Paths in ARGS may be Unix
# paths: Wine's drive Z: is the root of this machine, and the current folder is on it.
set -eu

fail() {
    echo "wine32: $*" >&2
    exit 127
}

[ $# -ge 1 ] || fail "usage: tools/wine32.sh PROGRAM [ARGS...], or tools/wine32.sh --mode"
# --mode prints how a program would run here, "native" or "emulated", and runs nothing.
print_mode=""
if [ "$1" = --mode ]; then print_mode=1; else [ -f "$1" ] || fail "no program $1"; fi

root=$(cd "$(dirname "$0")/.." && pwd)
prefix=${WINE32_PREFIX:-$root/build/win32/wineprefix}
loader32=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64
i386_files=/usr/lib/i386-linux-gnu/wine/i386-windows
[ -x "$loader32" ] && [ -d "$i386_files" ] ||
    fail "32-bit Wine is not installed (wine32:i386): sh tools/ensure-packages.sh test"
[ -x "$wine64" ] || fail "wine64 is not installed: sh tools/ensure-packages.sh test"

mode=${WINE32_MODE:-}
if [ -z "$mode" ]; then
    if "$loader32" --version >/dev/null 2>&1; then mode=native; else mode=emulated; fi
fi
case "$mode" in
    native) run="$loader32" ;;
    emulated)
        command -v qemu-i386-static >/dev/null 2>&1 ||
            fail "the kernel runs no 32-bit code and qemu-user-static is not installed"
        export WINELOADERNOEXEC=1
        # The guest's address space ends 16 MiB above the 2 GiB of a 32-bit Windows process.
        # With the emulator's default, the whole 4 GiB, Wine's start reserves the upper 2 GiB
        # in 64 KiB pieces, and the emulator walks its page table for each: about 50 s of every
        # start, where this takes 4 s.
        run="qemu-i386-static -R 0x81000000 $loader32" ;;
    *) fail "WINE32_MODE is native or emulated, not $mode" ;;
esac
if [ -n "$print_mode" ]; then
    echo "$mode"
    exit 0
fi

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# The sound card: ALSA's null device, unless WINE_ASOUNDRC names another configuration (the sound
# tests' capture).
export ALSA_CONFIG_PATH="${WINE_ASOUNDRC:-$prefix/asoundrc}"

# The 32-bit half of a prefix: its system files and the 32-bit classes of the media graph and
# the sound device. A prefix made before wine32:i386 was installed lacks them.
has_32bit_half() {
    [ -f "$1/drive_c/windows/syswow64/kernel32.dll" ] &&
        grep -q 'Wow6432Node\\\\CLSID\\\\{E436EBB3-524F-11CE-9F53-0020AF0BA770}' "$1/system.reg" &&
        grep -q 'Wow6432Node\\\\CLSID\\\\{47D4D946-62E8-11CF-93BC-444553540000}' "$1/system.reg"
}

# The prefix: made by one run at a time; the others wait for it.
make_prefix() {
    fresh="$prefix.new"
    rm -rf "$fresh"
    mkdir -p "$fresh"
    if ! WINEPREFIX="$fresh" "$wine64" wineboot -i >"$fresh.log" 2>&1; then
        WINEPREFIX="$fresh" /usr/lib/wine/wineserver -k 2>/dev/null || true
        return 1
    fi
    WINEPREFIX="$fresh" /usr/lib/wine/wineserver -w 2>/dev/null || true
    # wineboot fills the 32-bit half in a 32-bit child; where the kernel refuses that child, the
    # same inf section runs here under the emulator, once the 32-bit loader finds Wine's own
    # 32-bit system files in syswow64. The program is named by its full path, so that Wine runs
    # it in this process: by name it would be started as a child, which cannot start here.
    if ! has_32bit_half "$fresh" && [ "$mode" = emulated ]; then
        cp -n "$i386_files"/*.dll "$i386_files"/*.exe "$fresh/drive_c/windows/syswow64/"
        WINEPREFIX="$fresh" $run "$fresh/drive_c/windows/syswow64/rundll32.exe" \
            setupapi,InstallHinfSection Wow64Install 128 '\\?\Z:\usr\share\wine\wine.inf' >>"$fresh.log" 2>&1 || true
        WINEPREFIX="$fresh" /usr/lib/wine/wineserver -w 2>/dev/null || true
    fi
    # A prefix without its 32-bit classes is not complete, on either kind of machine.
    if ! has_32bit_half "$fresh"; then
        echo "the prefix has no 32-bit media graph and sound device classes after wineboot ($mode)" >>"$fresh.log"
        return 1
    fi
    printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$fresh/asoundrc"
    rm -f "$fresh.log"
    mv "$fresh" "$prefix"
}

{ mkdir -p "$(dirname "$prefix")" && touch "$prefix.lock"; } 2>/dev/null ||
    fail "cannot make the 32-bit Wine prefix $prefix: its folder cannot be written"
exec 9>"$prefix.lock"
flock 9
# A prefix left incomplete by an earlier version of this script is made again.
if [ ! -f "$prefix/asoundrc" ] || ! has_32bit_half "$prefix"; then
    rm -rf "$prefix"
    make_prefix || fail "cannot make the 32-bit Wine prefix $prefix (see $prefix.new.log)"
fi
flock -u 9
exec 9>&-

export WINEPREFIX="$prefix"
# The program's own status. Wine's server and its desktop end inside the display's lifetime, so
# nothing of the run is left and no process loses its display.
# shellcheck disable=SC2086  # $run is the loader, or the emulator and the loader
# The displays of 32-bit runs are looked for from :100 and the 64-bit runs' from :200, so that the
# two presets' tests, run side by side, do not reach for the same free display at one instant.
exec xvfb-run -a -n 100 sh -c 'status=0; "$@" || status=$?; /usr/lib/wine/wineserver -w; exit $status' \
    wine32 $run "$@"
