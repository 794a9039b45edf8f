#!/usr/bin/env bash
# Installs what the browser tests need: Debian's Chromium and Node with npm.
# Quick when both are present; the tests' own npm packages are installed by
# the test itself (npm ci into the build tree's browser_packages folder).
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
source "$(dirname "$0")/../lib/apt_install.sh"
apt_install "${missing[@]}"
