#!/usr/bin/env bash
# What a document base weighs and how long a browser takes to open it: runs
# the program over the benchmark corpora (bench/make_corpus, as
# run_bench.sh) and prints per corpus the output bytes per input byte, the
# word index and search page bytes per 100,000 words, index.htm bytes per
# distinct word, and how long headless Chromium takes to open index.htm
# and the largest word index and search pages (bench/open_time.mjs: to the
# load event, to the page laid out, and the browser's CPU time).
#
#   bench/page_bench.sh [SIZES...]      sizes: s m l xl (default: s m)
#
# PROGRAM   the program to measure (default: a Release build in BUILD_DIR,
#           default build/bench)
# OPEN      which pages to open: any of "index i s" (default all three)
# CAP       seconds one open may take before it counts as "did not open"
#           (default 300)
# REPEAT    opens per page (default 3; an open over a minute is not repeated)
# WORK      corpora and runs (default /tmp/indexer_page_bench)
#
# Needs Debian's chromium and Node 20 (bash .ci/prepare/browser.sh) and the
# playwright-core of tests/browser (installed here with npm ci when missing).
# The machine's load average is printed before each corpus: on a shared
# machine the wall times grow with it, the CPU times much less.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/bench}
work=${WORK:-/tmp/indexer_page_bench}
open=${OPEN:-index i s}
cap=${CAP:-300}
repeat=${REPEAT:-3}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(s m)

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DINDEXER_BUILD_TESTS=OFF > /dev/null
if [ -n "${PROGRAM:-}" ]; then
  cmake --build "$build" --target make_corpus > /dev/null
  program=$(realpath "$PROGRAM")
else
  cmake --build "$build" --target indexer make_corpus > /dev/null
  program=$(ls "$build"/*.exe | head -1)
fi
if [ ! -d "$root/tests/browser/node_modules/playwright-core" ]; then
  (cd "$root/tests/browser" && npm ci --no-audit --no-fund --loglevel=error)
fi
mkdir -p "$work"

source "$root/bench/common.sh"

bytes() { cat "$@" 2>/dev/null | wc -c; }
ratio() { awk -v a="$1" -v b="$2" -v k="${3:-1}" 'BEGIN {printf (k > 1 ? "%.0f" : "%.1f"), a * k / (b > 0 ? b : 1)}'; }

echo "program: $program"
for size in "${sizes[@]}"; do
  corpus=$(corpus_of "$size")
  run="$work/run_$size"
  rm -rf "$run" && mkdir -p "$run" && cp -r "$corpus" "$run/txt_in" && cp "$program" "$run/"
  ( cd "$run" && printf '1\n1\n1\nwww.example.org\n\n' | SOURCE_DATE_EPOCH=1700000000 \
      "./$(basename "$program")" > /dev/null 2>&1 )
  out="$run/htm_out"
  input=$(bytes "$corpus"/*.txt)
  input_words=$(cat "$corpus"/*.txt | wc -w)
  published=$(bytes "$out"/*)
  word_index=$(bytes "$out"/i_*.htm)
  search=$(bytes "$out"/s_*.htm)
  main_index=$(bytes "$out/index.htm")
  distinct=$(grep -o ' id="id[0-9]*"' "$out/index.htm" | sort -u | wc -l)
  echo "== corpus $size: ${files[$size]} files, $input bytes, $input_words words, $distinct distinct words"
  echo "htm_out: $published bytes, $(ratio "$published" "$input") bytes per input byte"
  echo "word index pages: $word_index bytes, $(ratio "$word_index" "$input_words" 100000) per 100,000 words"
  echo "search pages: $search bytes, $(ratio "$search" "$input_words" 100000) per 100,000 words"
  echo "index.htm: $main_index bytes, $(ratio "$main_index" "$distinct") per distinct word"
  pages=()
  for kind in $open; do
    case $kind in
      index) pages+=("$out/index.htm") ;;
      i | s) pages+=("$(ls -S "$out/${kind}"_*.htm | head -1)") ;;
    esac
  done
  echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
  node "$root/bench/open_time.mjs" "$cap" "$repeat" "${pages[@]}"
done
