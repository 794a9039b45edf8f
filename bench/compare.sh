#!/usr/bin/env bash
# Two builds of the program side by side: alternated rounds over one
# corpus, each round running both (the one that goes first changes from
# round to round, as the first run after a pause pays for the pages the
# machine reclaimed meanwhile), and the medians of each program's wall,
# CPU (user + system), user time and peak memory, with the second's CPU
# against the first's. Every phase's median CPU time too.
#
#   bench/compare.sh BEFORE_PROGRAM AFTER_PROGRAM [SIZE]   (SIZE: s m l xl; default l)
#
# REPEAT  rounds (default 7), after one that is not counted
# WORK    corpora and runs (default /tmp/indexer_bench_run, as table.sh)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/bench}
work=${WORK:-/tmp/indexer_bench_run}
repeat=${REPEAT:-7}
before=$(realpath "${1:?usage: bench/compare.sh BEFORE_PROGRAM AFTER_PROGRAM [SIZE]}")
after=$(realpath "${2:?usage: bench/compare.sh BEFORE_PROGRAM AFTER_PROGRAM [SIZE]}")
size=${3:-l}
source "$root/bench/common.sh"

build_tools make_corpus measure
measure="$build/bench/measure"
mkdir -p "$work"
corpus=$(corpus_of "$size")
reports="$work/compare_$size"
rm -rf "$reports" && mkdir -p "$reports"

# one NAME PROGRAM ROUND: one run of PROGRAM over a fresh copy of the corpus.
one() {
  local run="$work/compare_run"
  fresh_run "$corpus" "$run" "$2"
  run_program "$run" "$2" "$reports/out.txt" "$reports/err.txt" -- "$measure" "$reports/$1_$3.txt"
  grep -q '^exit 0$' "$reports/$1_$3.txt" || { echo "$1 failed on $size"; exit 1; }
  rm -rf "$run"
}
for round in $(seq 0 "$repeat"); do
  if [ $((round % 2)) = 0 ]; then
    one before "$before" "$round"; one after "$after" "$round"
  else
    one after "$after" "$round"; one before "$before" "$round"
  fi
done
rm -f "$reports"/*_0.txt  # the round that is not counted

median() { sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# of NAME EXPR: the median over the rounds of an awk expression of the report's keys.
of() {
  for report in "$reports/$1"_*.txt; do
    awk '$1 != "phase" { v[$1] = $2 } END { print '"$(sed 's/[a-z_][a-z_]*/v["&"]/g' <<< "$2")"' }' "$report"
  done | median
}
phase_cpu() {
  local times
  times=$(cat "$reports/$1"_*.txt | awk -v p="$2" '$1 == "phase" && $2 == p { print $4 }')
  [ -n "$times" ] && median <<< "$times" || echo -
}

echo "corpus $size, medians of $repeat alternated rounds; load average now $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-7s %9s %9s %9s %9s\n' "" "wall s" "CPU s" "user s" "peak MiB"
for name in before after; do
  printf '%-7s %9.3f %9.3f %9.3f %9.1f\n' "$name" "$(of "$name" wall)" "$(of "$name" "user + system")" \
    "$(of "$name" user)" "$(awk -v k="$(of "$name" peak_kb)" 'BEGIN { print k / 1024 }')"
done
awk -v a="$(of before "user + system")" -v b="$(of after "user + system")" \
  'BEGIN { printf "CPU after / before: %.3f\n", b / a }'
echo "phases, median CPU s (before, after; - where a build has no phase of that name):"
for phase in $(cat "$reports"/before_1.txt "$reports"/after_1.txt |
               awk '$1 == "phase" && !seen[$2]++ { print $2 }'); do
  printf '  %-12s %7s %7s\n' "$phase" "$(phase_cpu before "$phase" | awk '{ if ($1 == "-") print "-"; else printf "%.3f", $1 }')" \
    "$(phase_cpu after "$phase" | awk '{ if ($1 == "-") print "-"; else printf "%.3f", $1 }')"
done
