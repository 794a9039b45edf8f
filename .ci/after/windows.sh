#!/usr/bin/env bash
# The Windows build: cross-compiled with MinGW-w64, its unit and end-to-end
# tests run under Wine (the windows workflow), then the Windows program run
# over the sample folder, its htm_out compared byte for byte with the native
# program's. Installs the cross compiler, Wine and GoogleTest's sources when
# they are missing.
set -euo pipefail
cd "$(dirname "$0")/../.."

wine=/usr/lib/wine/wine64
missing=()
command -v x86_64-w64-mingw32-g++-posix > /dev/null || missing+=(g++-mingw-w64-x86-64-posix)
[ -x "$wine" ] || missing+=(wine64)
[ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(googletest)
if [ ${#missing[@]} -gt 0 ]; then
  echo "windows build: installing ${missing[*]}"
  source .ci/lib/apt_install.sh  # the step runs from the top folder
  apt_install "${missing[@]}"
fi

export WINEDEBUG=-all
# HOME for Wine's user folders; the prefix (Wine's C: drive and registry) is
# this checkout's own, so the server below is not shared with another
# checkout's run, and killing it at the end stops nothing else.
export HOME="${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}"
export WINEPREFIX="$PWD/build/wine"
echo "windows build: $("$wine" --version), $(x86_64-w64-mingw32-g++-posix --version | head -n 1)"

# One Wine server for the whole step, kept until the step ends. Every test,
# and the test listing at build time, starts a Wine process of its own; a
# server that ends by itself (Wine's default, 3 s after its last process)
# can be exiting just as the next one connects, and that start fails with
# "wine client error ... Connection reset by peer".
# Wine's own services (services.exe, winedevice.exe, ...) are started by the
# first process of a server and live as long as the server, holding that
# process's standard error: had the test listing started them, the build
# would wait for the end of that output for ever. So the server and its
# services are started here, with all their descriptors on /dev/null, before
# anything reads a Wine process's output; the first start also makes the
# prefix (~20 s).
wineserver=$(dirname "$wine")/wineserver
mkdir -p "$WINEPREFIX"
"$wineserver" -k > /dev/null 2>&1 || true  # a server left by a killed run
"$wineserver" -w
trap '"$wineserver" -k > /dev/null 2>&1 || true' EXIT
trap 'exit 130' INT TERM HUP  # through the EXIT trap
"$wineserver" -p < /dev/null > /dev/null 2>&1
"$wine" wineboot --init < /dev/null > /dev/null 2>&1

cmake --workflow --preset windows

# The native program to compare with: the test workflow's, else a build of
# the program alone.
native=build/default/www.example.com.exe
if [ ! -x "$native" ]; then
  cmake --preset demo > /dev/null
  cmake --build build/demo --target indexer
  native=build/demo/www.example.com.exe
fi
WINE="$wine" bash tests/e2e/windows_matches_native.sh build/windows/www.example.com.exe "$native"
