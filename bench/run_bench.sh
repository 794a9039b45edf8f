#!/usr/bin/env bash
# The whole-run benchmark: builds the program (Release), makes the corpora
# (deterministic), runs the program over each in a fresh folder with piped
# answers, and prints per corpus: wall, user and system time, peak memory,
# input bytes and words, output bytes, bytes written, the time of each
# phase, the hash of htm_out against bench/hashes.txt, and, over the same
# files, the time and memory of GNU ptx (a permuted index) for comparison.
# Then the ratios the program is held to: its time against ptx's, bytes
# written against bytes published, l against m (5x the words), and its
# time on one thread against all (INDEXER_THREADS=1; not for xl).
#
#   bench/run_bench.sh [SIZES...]      sizes: s m l xl (default: s m l)
#
# WORK (default /tmp/indexer_bench_run) holds the corpora and the runs.
# bench/table.sh gives the medians of several runs, with bytes read and
# written, the CPU time of each phase and the write floor.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/bench}
work=${WORK:-/tmp/indexer_bench_run}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(s m l)
source "$root/bench/common.sh"

build_tools indexer make_corpus
program=$(ls "$build"/*.exe | head -1)
mkdir -p "$work"
declare -A wall

field() { grep -F "$1" "$2" | head -1 | sed 's/.*: //'; }
seconds() {  # m:ss.ss or h:mm:ss -> seconds
  awk -F: '{ if (NF == 3) print $1 * 3600 + $2 * 60 + $3; else print $1 * 60 + $2 }' <<< "$1"
}

for size in "${sizes[@]}"; do
  corpus=$(corpus_of "$size")
  run="$work/run_$size"
  one_run() {  # one_run TIME_FILE [ENV...]: the program over a fresh copy of the corpus
    local time_file=$1
    shift
    fresh_run "$corpus" "$run" "$program"
    run_program "$run" "$program" "$work/out_$size.txt" "$work/err_$size.txt" "$@" \
        -- /usr/bin/time -v -o "$time_file"
  }
  one_thread=""
  if [ "$size" != xl ]; then
    one_run "$work/time1_$size.txt" INDEXER_THREADS=1
    one_thread=$(seconds "$(field 'Elapsed (wall clock)' "$work/time1_$size.txt")")
  fi
  one_run "$work/time_$size.txt"
  t="$work/time_$size.txt"
  wall[$size]=$(seconds "$(field 'Elapsed (wall clock)' "$t")")
  hash=$(tree_hash "$run/htm_out")
  kept=$(awk -v s="$size" '$1 == s {print $2}' "$root/bench/hashes.txt" 2>/dev/null || true)
  published=$(du -sb "$run/htm_out" | cut -f1)
  written=$(( $(field 'File system outputs' "$t") * 512 ))
  echo "== corpus $size: ${files[$size]} files, ${words[$size]} words"
  echo "input:  $(du -sb "$corpus" | cut -f1) bytes, $(cat "$corpus"/*.txt | wc -w) words"
  echo "wall ${wall[$size]} s, user $(field 'User time' "$t") s, system $(field 'System time' "$t") s," \
       "peak $(( $(field 'Maximum resident' "$t") / 1024 )) MB"
  [ -n "$one_thread" ] && echo "one thread: wall $one_thread s (all threads: ${wall[$size]} s)"
  echo "output: $published bytes in htm_out; written in all: $written bytes;" \
       "written/published $(awk -v w="$written" -v p="$published" 'BEGIN {printf "%.2f", w / (p > 0 ? p : 1)}')"
  grep '^phase' "$work/err_$size.txt" | awk '{printf "  %-12s %8.3f s   peak so far %s MB\n", $2, $3, $6}'
  if [ -z "$kept" ]; then
    echo "htm_out hash $hash (none kept for $size)"
  elif [ "$hash" = "$kept" ]; then
    echo "htm_out hash unchanged ($hash)"
  else
    echo "htm_out hash CHANGED: $hash, kept $kept"
  fi
  ( cd "$corpus" && LC_ALL=C /usr/bin/time -v -o "$work/ptx_$size.txt" \
      sh -c 'ptx -A -w 120 *.txt > /dev/null' )
  p="$work/ptx_$size.txt"
  ptx_wall=$(seconds "$(field 'Elapsed (wall clock)' "$p")")
  echo "ptx:    wall $ptx_wall s, peak $(( $(field 'Maximum resident' "$p") / 1024 )) MB;" \
       "indexer/ptx time ratio $(awk -v a="${wall[$size]}" -v b="$ptx_wall" 'BEGIN {printf "%.2f", a / (b > 0 ? b : 0.01)}')"
done

if [ -n "${wall[m]:-}" ] && [ -n "${wall[l]:-}" ]; then
  awk -v m="${wall[m]}" -v l="${wall[l]}" 'BEGIN {printf "scaling l/m: %.2f (5x the words)\n", l / m}'
fi
