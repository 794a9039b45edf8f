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
# Wine keeps its prefix under HOME.
export HOME="${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}"
echo "windows build: $("$wine" --version), $(x86_64-w64-mingw32-g++-posix --version | head -n 1)"
# Wine's first start makes its prefix (~20 s): once here, not inside a
# test's time.
"$wine" wineboot --init < /dev/null > /dev/null 2>&1 || true
# Then one Wine server for the whole run, kept 30 s past its last client:
# every test starts a Wine process of its own, and a server that is just
# exiting between two of them could fail the next start. It ends by itself.
# A test that still fails at its start ("wine client error ... Connection
# reset by peer") is run once more (the windows test preset).
wineserver=$(dirname "$wine")/wineserver
if [ -x "$wineserver" ]; then
  "$wineserver" -w || true
  "$wineserver" -p30 < /dev/null > /dev/null 2>&1 || true
fi

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
