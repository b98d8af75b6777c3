#!/bin/sh
# Writes the release's two zips from builds that exist: tools/release/release-files.sh NATIVE_OUT WIN32_OUT DIR
#   DIR/panel-gauges-VERSION.zip        Gauges/radio.gau, Gauges/autohelm.gau, Manual.html,
#                                       README.txt (CRLF), panel.cfg (an example window), SHA256SUMS
#   DIR/panel-gauges-VERSION-debug.zip  Gauges/*.gau.debug, Bench/panelhost.exe and its .debug file
# NATIVE_OUT is a native build's out folder (the manual generator and the zip writer), WIN32_OUT
# the win32 build's. Every entry of both zips takes the time of the last commit (or
# SOURCE_DATE_EPOCH), so that the same sources give the same bytes.
set -eu

fail() {
    echo "release-files: $*" >&2
    exit 1
}

[ $# -eq 3 ] || fail "usage: tools/release/release-files.sh NATIVE_OUT WIN32_OUT DIR"
native=$1
win32=$2
dist=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
version=$(head -n 1 "$root/VERSION")
for file in "$native/manual" "$native/release_zip" "$win32/radio.gau" "$win32/autohelm.gau" "$win32/panelhost.exe"; do
    [ -f "$file" ] || fail "$file is missing: build the native and win32 presets first"
done
time=${SOURCE_DATE_EPOCH:-}
if [ -z "$time" ]; then
    time=$(git -C "$root" log -1 --format=%ct 2>/dev/null) ||
        fail "no commit to take the time from: set SOURCE_DATE_EPOCH"
fi

# Windows text: each line ends in CR LF.
crlf() {
    sed 's/\r$//; s/$/\r/' "$1"
}

mkdir -p "$dist"
stage=$(mktemp -d "$dist/.release.XXXXXX")
trap 'rm -rf "$stage"' EXIT

mkdir -p "$stage/main/Gauges" "$stage/debug/Gauges" "$stage/debug/Bench"
cp "$win32/radio.gau" "$win32/autohelm.gau" "$stage/main/Gauges/"
"$native/manual" "$stage/main/Manual.html"
sed "s/@VERSION@/$version/g" "$root/tools/release/README.txt" >"$stage/README.txt"
crlf "$stage/README.txt" >"$stage/main/README.txt"
crlf "$root/tools/release/panel.cfg" >"$stage/main/panel.cfg"
files="Gauges/autohelm.gau Gauges/radio.gau Manual.html README.txt panel.cfg"
# shellcheck disable=SC2086  # the names, one word each
(cd "$stage/main" && sha256sum $files) >"$stage/main/SHA256SUMS"

cp "$win32/radio.gau.debug" "$win32/autohelm.gau.debug" "$stage/debug/Gauges/"
cp "$win32/panelhost.exe" "$win32/panelhost.exe.debug" "$stage/debug/Bench/"

main_zip="$dist/panel-gauges-$version.zip"
debug_zip="$dist/panel-gauges-$version-debug.zip"
# shellcheck disable=SC2086
"$native/release_zip" "$main_zip" "$time" "$stage/main" $files SHA256SUMS
"$native/release_zip" "$debug_zip" "$time" "$stage/debug" Gauges/autohelm.gau.debug Gauges/radio.gau.debug \
    Bench/panelhost.exe Bench/panelhost.exe.debug
echo "$main_zip"
echo "$debug_zip"
