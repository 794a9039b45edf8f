#!/usr/bin/env bash
# Times the word list phase (word ids, occurrence numbers, groups, group
# lists, next pages, id files) on generated corpora of 1.25 and 5 million
# words, and reports records per second, the 4x/1x time ratio (about 4 for
# a linear phase, a little more for n log n) and the peak memory.
#
#   bench/bench_words.sh [WORK_FOLDER]        default: /tmp/indexer_bench
#
# BUILD_DIR selects the (Release) build folder, default build-bench.
# SIZES=xl also makes and times the 20-million-word corpus.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-bench}
work=${1:-/tmp/indexer_bench}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DINDEXER_BUILD_TESTS=OFF > /dev/null
cmake --build "$build" --target make_corpus bench_words > /dev/null
mkdir -p "$work"

# corpus NAME FILES WORDS: made once, then reused.
corpus() {
  [ -d "$work/$1" ] || "$build/bench/make_corpus" "$2" "$3" "$work/$1"
}

# measure NAME: runs the phase on corpus NAME; sets seconds, records, peak_kb.
measure() {
  local log="$work/bench_$1.log"
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -v "$build/bench/bench_words" "$work/$1" "$work/scratch" > "$log" 2> "$log.time"
    peak_kb=$(awk -F: '/Maximum resident set size/ {gsub(/ /, "", $2); print $2}' "$log.time")
  else
    "$build/bench/bench_words" "$work/$1" "$work/scratch" > "$log"
    peak_kb="n/a"
  fi
  seconds=$(awk '/word list phase:/ {print $4}' "$log")
  records=$(awk '/word records/ {gsub(/,/, "", $5); print $5}' "$log")
  printf '%-4s %9s records  %8.2f s  %10.0f records/s  peak %s kB\n' \
      "$1" "$records" "$seconds" "$(awk -v r="$records" -v s="$seconds" 'BEGIN {print r / s}')" "$peak_kb"
  rm -rf "$work/scratch"
}

corpus x1 100 1250000
corpus x4 400 5000000
measure x1
t1=$seconds
measure x4
t4=$seconds
awk -v a="$t1" -v b="$t4" 'BEGIN {printf "ratio 4x/1x: %.2f\n", b / a}'

if [ "${SIZES:-}" = "xl" ]; then
  corpus xl 1000 20000000
  measure xl
fi
