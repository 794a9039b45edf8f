#!/usr/bin/env bash
# Fuzzing: builds the libFuzzer targets of tests/fuzz with clang (installed
# when missing) and runs each for a bounded time, 30 s unless FUZZ_SECONDS
# says otherwise, over a working copy of its corpus. A crash, a sanitizer
# finding, a broken property, a slow input or running out of memory fails
# the step; the input is left in build/fuzz/findings, to be fixed and then
# kept in tests/fuzz/<target>/ as a regression case.
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds="${FUZZ_SECONDS:-30}"
targets=(scan_line clean_page interpreter)

have_fuzzer_runtime() {
  command -v clang++ > /dev/null &&
    ls "$(clang++ -print-resource-dir)"/lib/linux/libclang_rt.fuzzer-*.a > /dev/null 2>&1
}
if ! have_fuzzer_runtime; then
  echo "fuzz: installing clang and its fuzzer runtime"
  source .ci/lib/apt_install.sh  # the step runs from the top folder
  apt_install clang libclang-rt-dev
fi

build=build/fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Release \
  -DINDEXER_BUILD_TESTS=OFF -DINDEXER_FUZZ=ON
cmake --build "$build" --target indexer_fuzzers

# The interpreter target makes and empties its scratch folder for every
# input: a memory-backed folder keeps that fast.
scratch_base=/dev/shm
[ -d "$scratch_base" ] && [ -w "$scratch_base" ] || scratch_base="$PWD/$build"
scratch="$(mktemp -d "$scratch_base/indexer_fuzz.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT

findings="$build/findings"
mkdir -p "$findings"
failed=()
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  echo "== fuzz_$target for ${seconds} s"
  if ! TMPDIR="$scratch" "$build/tests/fuzz/fuzz_$target" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$findings/$target-" "$corpus" "tests/fuzz/$target" \
      < /dev/null > "$build/fuzz_$target.log" 2>&1; then
    failed+=("$target")
    tail -n 60 "$build/fuzz_$target.log"
  fi
  grep -E '^(Done|stat::number_of_executed_units)' "$build/fuzz_$target.log" || true
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in ${failed[*]} (inputs in $findings)"
  exit 1
fi
echo "fuzz: ${#targets[@]} targets ran ${seconds} s each without a finding"
