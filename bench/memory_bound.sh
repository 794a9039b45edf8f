#!/usr/bin/env bash
# The memory bound: peak memory must follow the distinct words and pages,
# not the size of the files, the length of a line nor the number of
# threads. Builds the program (Release), makes three corpora - one file of
# about 200 MB and 20 files of about 10 MB with the same 100,000-word
# vocabulary, and one file that is a single line of 100 MB of '<' (each
# written "&lt;", 400 MB of page text) - and runs the program over each on
# 1, 8 and 16 threads (or the thread counts given), printing the peak
# memory of the whole run and of every phase so far, and the hash of
# htm_out (the same for every thread count). The target: every peak under
# 100 MB.
#
#   bench/memory_bound.sh [THREADS...]       (default: 1 8 16)
#
# WORK (default /tmp/indexer_memory_run) holds the corpora (500 MB) and one
# run at a time; PROGRAM names another build of the program to measure.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/bench}
work=${WORK:-/tmp/indexer_memory_run}
threads=("$@")
[ ${#threads[@]} -gt 0 ] || threads=(1 8 16)
limit_mb=100

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DINDEXER_BUILD_TESTS=OFF > /dev/null
cmake --build "$build" --target indexer make_corpus > /dev/null
program=${PROGRAM:-$(ls "$build"/*.exe | head -1)}
mkdir -p "$work"

declare -A files=([one_200mb]=1 [twenty_10mb]=20 [line_100mb]=1)
field() { grep -F "$1" "$2" | head -1 | sed 's/.*: //'; }

for corpus_name in one_200mb twenty_10mb line_100mb; do
  corpus="$work/$corpus_name"
  if [ ! -d "$corpus" ] && [ "$corpus_name" = line_100mb ]; then
    mkdir -p "$corpus.part"
    { printf 'first '; head -c $((100 << 20)) /dev/zero | tr '\0' '<'; printf ' last\n'; } \
        > "$corpus.part/one_line.txt"
    mv "$corpus.part" "$corpus"
  fi
  [ -d "$corpus" ] || "$build/bench/make_corpus" "${files[$corpus_name]}" 25500000 "$corpus" 1 \
      even vocabulary=100000 > /dev/null
  for n in "${threads[@]}"; do
    run="$work/run"
    rm -rf "$run" && mkdir -p "$run" && cp -r "$corpus" "$run/txt_in" && cp "$program" "$run/"
    ( cd "$run" && printf '1\n1\n1\nwww.example.org\n\n' |
        env SOURCE_DATE_EPOCH=1700000000 INDEXER_PHASE_TIMES=1 INDEXER_THREADS="$n" \
        /usr/bin/time -v -o "$work/time.txt" "./$(basename "$program")" > "$work/out.txt" \
        2> "$work/err.txt" )
    peak=$(( $(field 'Maximum resident' "$work/time.txt") / 1024 ))
    verdict="under"
    [ "$peak" -lt "$limit_mb" ] || verdict="NOT under"
    hash=$(cmake -DDIR="$run/htm_out" -P "$root/bench/hash_tree.cmake" 2>&1 | sed 's/^hash //')
    echo "== $corpus_name ($(du -sb "$corpus" | cut -f1) bytes in ${files[$corpus_name]} files)," \
         "$n threads: peak $peak MB ($verdict $limit_mb MB)," \
         "wall $(field 'Elapsed (wall clock)' "$work/time.txt")"
    grep '^phase' "$work/err.txt" | awk '{printf "  %-12s %8.3f s   peak so far %s MB\n", $2, $3, $6}'
    echo "  htm_out hash $hash"
  done
done
rm -rf "$work/run"
