#!/bin/sh
# The release: installs what it lacks, builds the native preset (the manual's pictures, the zip
# writer) and the win32 preset (the shipped files), and writes into dist/ the zip for pilots,
# panel-gauges-VERSION.zip, and panel-gauges-VERSION-debug.zip.
#   sh tools/release.sh           the two zips of this checkout's commit
#   sh tools/release.sh --check   the same from two clean clones of the commit, in folders of
#                                 their own, one after the other, compared byte for byte
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

if [ "${1:-}" = --check ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    version=$(head -n 1 VERSION)
    for clone in one "another clone in a longer folder"; do
        echo "== release in a clean clone: $work/$clone"
        git clone --quiet "$root" "$work/$clone"
        (cd "$work/$clone" && sh tools/release.sh >"$work/$clone.log" 2>&1) || {
            cat "$work/$clone.log" >&2
            echo "release --check: the release failed in $work/$clone" >&2
            exit 1
        }
    done
    status=0
    for zip in "panel-gauges-$version.zip" "panel-gauges-$version-debug.zip"; do
        if cmp -s "$work/one/dist/$zip" "$work/another clone in a longer folder/dist/$zip"; then
            echo "$zip: identical ($(wc -c <"$work/one/dist/$zip") bytes, sha256 $(sha256sum <"$work/one/dist/$zip" | cut -c1-64))"
        else
            echo "$zip: DIFFERENT"
            status=1
        fi
    done
    exit $status
fi

sh tools/ensure-packages.sh release
cmake --preset native >/dev/null
cmake --build --preset native --target manual release_zip radio autohelm
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target radio autohelm panelhost
sh tools/release/release-files.sh build/native/out build/win32/out dist
