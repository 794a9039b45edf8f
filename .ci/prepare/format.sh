#!/usr/bin/env bash
# Installs clang-format for the test workflow's format check, when missing.
set -euo pipefail

if command -v clang-format > /dev/null; then
  echo "format check: $(clang-format --version)"
  exit 0
fi
echo "format check: installing clang-format"
source "$(dirname "$0")/../lib/apt_install.sh"
apt_install clang-format
