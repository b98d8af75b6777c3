#!/bin/sh
# Installs the Debian packages that a job needs and the machine lacks: "demo", "measure", "release"
# or "test".
set -eu

job=${1:-test}
build="cmake ninja-build g++ pkg-config libpng-dev zlib1g-dev libfreetype-dev fonts-liberation libcpp-httplib-dev
      libgtest-dev libgmock-dev libbenchmark-dev"
# the demo's picture of the live panel in a browser
demo="$build chromium curl"
measure="$build valgrind"
release="$build git g++-mingw-w64-i686-win32 binutils-mingw-w64-i686"
test="$demo
      g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
      wine64 xvfb xauth gstreamer1.0-plugins-base gstreamer1.0-plugins-good
      wine32:i386 gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386 qemu-user-static
      clang libclang-rt-14-dev valgrind
      chromium-driver python3 python3-selenium"
case "$job" in
    demo) wanted=$demo ;;
    measure) wanted=$measure ;;
    release) wanted=$release ;;
    test) wanted=$test ;;
    *) echo "ensure-packages: unknown job $job (demo, measure, release or test)" >&2; exit 2 ;;
esac

missing=""
for package in $wanted; do
    if ! dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
        missing="$missing $package"
    fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
as_root=""
[ "$(id -u)" -eq 0 ] || as_root="sudo"
# The 32-bit Wine of the tests of the shipped DLLs comes from Debian's i386 packages.
case "$missing" in
    *:i386*)
        dpkg --print-foreign-architectures | grep -qx i386 || $as_root dpkg --add-architecture i386 ;;
esac
$as_root apt-get update
DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y --no-install-recommends $missing
