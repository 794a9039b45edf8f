#!/usr/bin/env bash
# The whole test suite again, program included, built with AddressSanitizer
# and UndefinedBehaviorSanitizer (build/sanitize): any finding fails a test.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --workflow --preset sanitize
