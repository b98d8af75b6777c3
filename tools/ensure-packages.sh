#!/bin/sh
# Installs the Debian packages that a job needs and the machine lacks: "builds", "demo", "listen",
# "measure", "release" or "test". A mirror caught mid-sync serves an index that does not match its release file: the
# index is fetched again, up to three times, and then the install is tried with what was read; a
# package that is still missing afterwards ends the job with what failed and what needs it.
# APT_RETRY_SECONDS (10) is the wait between tries, APT_TIME_LIMIT (1800) the bound of each apt run.
set -eu

job=${1:-test}
build="cmake ninja-build g++ pkg-config libpng-dev zlib1g-dev libfreetype-dev fonts-liberation libboost1.81-dev nlohmann-json3-dev
      libgtest-dev libgmock-dev libbenchmark-dev"
# the demo's picture of the live panel in a browser
demo="$build chromium curl"
measure="$build valgrind"
release="$build git g++-mingw-w64-i686-win32 binutils-mingw-w64-i686"
# Wine's media graph decodes the songs through GStreamer: WAV with the base and good plugins, MP3
# with good's mpg123, WMA with ugly's ASF reader and libav's decoder, MIDI with bad's MIDI reader
# and synthesiser over the General MIDI sound font; each Wine architecture loads its own plugins.
wine_media="gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly gstreamer1.0-plugins-bad
      gstreamer1.0-libav fluid-soundfont-gm"
wine_media_i386="gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386 gstreamer1.0-plugins-ugly:i386
      gstreamer1.0-plugins-bad:i386 gstreamer1.0-libav:i386"
# the songs of the sound tests, made by their encoders, and the radio's sound for a listener
listen="$build g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 wine64 wine32:i386 xvfb xauth qemu-user-static
      $wine_media $wine_media_i386 ffmpeg lame sox"
test="$demo
      g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
      wine64 xvfb xauth $wine_media
      wine32:i386 $wine_media_i386 qemu-user-static
      ffmpeg lame sox
      clang libclang-rt-14-dev valgrind unzip
      chromium-driver python3 python3-selenium"
# what the native and sanitize presets build with: the test command builds them while it installs
# the rest of its packages
builds="$build clang libclang-rt-14-dev"
case "$job" in
    builds) wanted=$builds ;;
    demo) wanted=$demo ;;
    listen) wanted=$listen ;;
    measure) wanted=$measure ;;
    release) wanted=$release ;;
    test) wanted=$test ;;
    *) echo "ensure-packages: unknown job $job (builds, demo, listen, measure, release or test)" >&2; exit 2 ;;
esac
retry_seconds=${APT_RETRY_SECONDS:-10}
time_limit=${APT_TIME_LIMIT:-1800}

# What a package is for, in the words of the failure message.
needed_by() {
    case "$1" in
        chromium|curl) echo "the demo's picture of the live panel, the page's test in Chromium" ;;
        chromium-driver|python3|python3-selenium) echo "the page's test in Chromium (native)" ;;
        *mingw-w64*) echo "the win32 and win64 builds and their tests" ;;
        gstreamer1.0-plugins-ugly:i386|gstreamer1.0-plugins-bad:i386|gstreamer1.0-libav:i386)
            echo "the shipped 32-bit radio's WMA and MIDI songs under 32-bit Wine (win32: wine32_radio_sound)" ;;
        wine32:i386|*:i386|qemu-user-static) echo "the tests of the shipped 32-bit DLLs under 32-bit Wine (win32)" ;;
        gstreamer1.0-plugins-ugly|gstreamer1.0-plugins-bad|gstreamer1.0-libav|fluid-soundfont-gm)
            echo "the radio's WMA and MIDI songs under Wine (win32, win64: the sound tests)" ;;
        ffmpeg|lame|sox) echo "the sound tests' songs, made by their encoders (win32, win64)" ;;
        wine64|xvfb|xauth|gstreamer*) echo "the tests of the Windows builds under Wine (win32, win64)" ;;
        clang|libclang-rt-14-dev) echo "the sanitizers' and the fuzzers' builds (sanitize, fuzz)" ;;
        valgrind) echo "the measurements and the native tests that count instructions" ;;
        unzip) echo "the release tests that check every entry's CRC" ;;
        git) echo "the release's clean clones" ;;
        *) echo "every build" ;;
    esac
}

# A package is there when it is installed for the machine's own architecture (or for all), or
# for the one its name asks for ("wine32:i386"): an i386 library does not stand for the amd64 one
# of the same name.
native_arch=$(dpkg --print-architecture)
missing_of() {
    for package in $1; do
        case "$package" in
            *:*) name=${package%%:*} arch=${package#*:} ;;
            *) name=$package arch=$native_arch ;;
        esac
        if ! dpkg-query -W -f='${Status} ${Architecture}\n' "$name" 2>/dev/null |
                grep -Eq "^install ok installed ($arch|all)\$"; then
            printf ' %s' "$package"
        fi
    done
}

missing=$(missing_of "$wanted")
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
as_root=""
[ "$(id -u)" -eq 0 ] || as_root="sudo"
# The 32-bit Wine of the tests of the shipped DLLs comes from Debian's i386 packages.
case "$missing" in
    *:i386*)
        dpkg --print-foreign-architectures | grep -qx i386 || $as_root dpkg --add-architecture i386 ;;
esac

log=$(mktemp)
trap 'rm -f "$log"' EXIT
failed_indexes=""
try=1
while :; do
    status=0
    timeout -k 10 "$time_limit" $as_root apt-get update >"$log" 2>&1 || status=$?
    cat "$log"
    # apt names each index it could not read on a line of its own: "E: Failed to fetch URL  why".
    failed_indexes=$(sed -n 's/^E: Failed to fetch \([^ ]*\).*/\1/p' "$log")
    [ "$status" -eq 0 ] && [ -z "$failed_indexes" ] && break
    if [ "$try" -ge 3 ]; then
        echo "ensure-packages: apt-get update failed $try times (status $status); installing from the indexes read"
        break
    fi
    echo "ensure-packages: apt-get update failed (status $status, try $try of 3); again in $retry_seconds s"
    try=$((try + 1))
    sleep "$retry_seconds"
done

install() {
    DEBIAN_FRONTEND=noninteractive timeout -k 10 "$time_limit" $as_root apt-get install -y --no-install-recommends "$@"
}
install_status=0
install $missing || install_status=$?
still=$(missing_of "$missing")
# apt installs all or nothing: where one package cannot be had (its index stale, say), the others
# are installed one by one, so that the tests that do not need it can run.
if [ -n "$still" ] && [ "$install_status" -ne 0 ]; then
    echo "ensure-packages: installing the packages one by one"
    for package in $still; do
        install "$package" >"$log" 2>&1 || echo "ensure-packages: $package: $(grep '^E:' "$log" | tail -n 1)"
    done
    still=$(missing_of "$missing")
fi
[ -z "$still" ] && exit 0

{
    echo "ensure-packages: these packages are not installed (apt-get install ended with status $install_status):"
    for package in $still; do
        echo "  $package: needed by $(needed_by "$package")"
    done
    if [ -n "$failed_indexes" ]; then
        echo "  the package indexes that could not be read (a mirror mid-sync serves them stale; try again later):"
        for index in $failed_indexes; do
            echo "  $index"
        done
    fi
} >&2
exit 1
