#!/usr/bin/env bash
# Installs what the browser tests need: Debian's Chromium and Node with npm.
# Quick when both are present; the tests' own npm packages are installed by
# the test itself (npm ci in tests/browser).
set -euo pipefail

missing=()
[ -x /usr/bin/chromium ] || missing+=(chromium)
command -v node > /dev/null || missing+=(nodejs)
command -v npm > /dev/null || missing+=(npm)

if [ ${#missing[@]} -eq 0 ]; then
  echo "browser tests: chromium $(/usr/bin/chromium --version 2>/dev/null | awk '{print $2}'), node $(node --version)"
  exit 0
fi

echo "browser tests: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
# Another install may hold the package lock for a while: wait for it.
apt=("${sudo_cmd[@]}" apt-get -q -o DPkg::Lock::Timeout=600)
"${apt[@]}" update
"${apt[@]}" install -y --no-install-recommends "${missing[@]}" < /dev/null
