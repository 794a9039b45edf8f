#!/usr/bin/env bash
# The table to quote: per corpus, the medians over REPEAT alternated rounds
# (the program, then ptx over the same files, then the write floor; again)
# of wall and CPU time (user + system), the program's peak memory and the
# bytes it read and wrote (bench/measure: the kernel's rchar and wchar,
# page-cache reads included), ptx's wall, CPU and peak, and the write
# floor: the time to write htm_out's bytes in files of its sizes
# (bench/write_floor, 256 KiB writes). Per corpus also the CPU time of each
# phase over 0.1 s and how many cores it kept busy (CPU / wall), then the
# ratios the program is held to.
#
#   bench/table.sh [SIZES...]         sizes: s m l xl (default: s m l)
#
# REPEAT  rounds per corpus (default 5; 1 for a quick look)
# WARMUP  rounds run first and not counted (default 1): the program runs
#         first in a round, and the first run after a pause pays for the
#         pages the machine reclaimed meanwhile
# WORK    corpora and runs (default /tmp/indexer_bench_run, as run_bench.sh)
# The last round's htm_out is checked against the hash kept in
# bench/hashes.txt. On a shared machine wall times vary with the load
# (printed); CPU times much less.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/bench}
work=${WORK:-/tmp/indexer_bench_run}
repeat=${REPEAT:-5}
warmup=${WARMUP:-1}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(s m l)
source "$root/bench/common.sh"

build_tools indexer make_corpus write_floor measure
program=$(ls "$build"/*.exe | head -1)
measure="$build/bench/measure"
mkdir -p "$work"

# key FILE KEY: the figure after KEY in a measure or write_floor report.
key() { awk -v k="$2" '{ for (i = 1; i < NF; ++i) if ($i == k) { print $(i + 1); exit } }' "$1"; }
median() { sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# of_rounds DIR KIND EXPR: the median over the rounds of an awk expression
# over the report's keys (e.g. "user + system").
of_rounds() {
  for report in "$1/$2"_*.txt; do
    awk '{ for (i = 1; i < NF; i += 2) v[$i] = $(i + 1) } END { print '"$(sed 's/[a-z_][a-z_]*/v["&"]/g' <<< "$3")"' }' "$report"
  done | median
}
file_bytes() { find "$1" -type f -printf '%s\n' | awk '{ s += $1 } END { print s + 0 }'; }
mib() { awk -v b="$1" -v k="${2:-1}" 'BEGIN { printf "%.1f", b * k / 1048576 }'; }
calc() { awk "BEGIN { printf \"%.0f\", $1 }"; }  # calc "1 + 2": whole bytes
div() { awk -v a="$1" -v b="$2" -v f="${3:-%.2f}" 'BEGIN { if (b > 0) printf f, a / b; else printf "-" }'; }

declare -A input published distinct wall cpu user peak rchar wchar ptx_wall ptx_cpu ptx_peak floor_wall floor_cpu
echo "rounds per corpus: $repeat, after $warmup not counted; load average $(cut -d' ' -f1-3 /proc/loadavg)"
for size in "${sizes[@]}"; do
  corpus=$(corpus_of "$size")
  run="$work/run_$size"
  rounds="$work/rounds_$size"
  floor="$work/floor_$size"
  rm -rf "$rounds" "$floor" && mkdir -p "$rounds/warmup"
  # round DIR NAME: one round, its reports in DIR as program_NAME.txt,
  # ptx_NAME.txt and floor_NAME.txt.
  round() {
    fresh_run "$corpus" "$run" "$program"
    run_program "$run" "$program" "$1/out.txt" "$1/err_$2.txt" -- "$measure" "$1/program_$2.txt"
    [ "$(key "$1/program_$2.txt" exit)" = 0 ] || { echo "program failed on $size"; exit 1; }
    sync
    ( cd "$corpus" && LC_ALL=C "$measure" "$1/ptx_$2.txt" ptx -A -w 120 *.txt > /dev/null )
    "$build/bench/write_floor" "$run/htm_out" "$floor" > "$1/floor_$2.txt"
    rm -rf "$floor"
  }
  for round in $(seq "$warmup"); do round "$rounds/warmup" "$round"; done
  for round in $(seq -w "$repeat"); do round "$rounds" "$round"; done
  input[$size]=$(file_bytes "$corpus")
  published[$size]=$(file_bytes "$run/htm_out")
  distinct[$size]=$(grep -c '^&nbsp;&nbsp;<a href="i_' "$run/htm_out/index.htm" || true)
  wall[$size]=$(of_rounds "$rounds" program wall)
  cpu[$size]=$(of_rounds "$rounds" program "user + system")
  user[$size]=$(of_rounds "$rounds" program user)
  peak[$size]=$(of_rounds "$rounds" program peak_kb)
  rchar[$size]=$(of_rounds "$rounds" program rchar)
  wchar[$size]=$(of_rounds "$rounds" program wchar)
  ptx_wall[$size]=$(of_rounds "$rounds" ptx wall)
  ptx_cpu[$size]=$(of_rounds "$rounds" ptx "user + system")
  ptx_peak[$size]=$(of_rounds "$rounds" ptx peak_kb)
  floor_wall[$size]=$(of_rounds "$rounds" floor wall)
  floor_cpu[$size]=$(of_rounds "$rounds" floor cpu)

  hash=$(tree_hash "$run/htm_out")
  kept=$(awk -v s="$size" '$1 == s { print $2 }' "$root/bench/hashes.txt")
  if [ -z "$kept" ]; then verdict="(none kept)"
  elif [ "$hash" = "$kept" ]; then verdict="unchanged"
  else verdict="CHANGED, kept $kept"; fi
  echo "== $size: ${files[$size]} files, ${words[$size]} words, ${distinct[$size]} distinct;" \
       "htm_out hash $hash $verdict"
  echo "  rounds, wall s: program $(for r in "$rounds"/program_*.txt; do printf '%.3f ' "$(key "$r" wall)"; done)" \
       "ptx $(for r in "$rounds"/ptx_*.txt; do printf '%.3f ' "$(key "$r" wall)"; done)" \
       "floor $(for r in "$rounds"/floor_*.txt; do printf '%.3f ' "$(key "$r" wall)"; done)"
  echo "  program: user $(printf %.3f "$(of_rounds "$rounds" program user)") s," \
       "system $(printf %.3f "$(of_rounds "$rounds" program system)") s;" \
       "htm_out $(mib "${published[$size]}") MiB; read $(mib "${rchar[$size]}") MiB," \
       "written $(mib "${wchar[$size]}") MiB (rchar, wchar)"
  cores=$(nproc)
  echo "  the host took $(of_rounds "$rounds" program "100 * steal / ($cores * wall)" | xargs printf %.0f)% of" \
       "the $cores cores' time while the program ran (steal, median of the rounds): a phase with" \
       "work for every core shows that much fewer busy"
  echo "  phases over 0.1 s (median wall and CPU; busy = CPU / wall, 2 = both cores):"
  # Per phase: the median over the rounds of its wall and of its CPU.
  cat "$rounds"/program_*.txt | awk '$1 == "phase" { print $2, $3, $4 }' |
    awk '{ if (!($1 in seen)) { seen[$1] = 1; order[++n] = $1 } w[$1] = w[$1] " " $2; c[$1] = c[$1] " " $3 }
         function med(list,   a, k, i, j, t) {
           k = split(list, a, " ")
           for (i = 2; i <= k; ++i) for (j = i; j > 1 && a[j - 1] > a[j]; --j) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
           return k % 2 ? a[(k + 1) / 2] : (a[k / 2] + a[k / 2 + 1]) / 2 }
         END {
           for (i = 1; i <= n; ++i) {
             p = order[i]; mw = med(w[p]); mc = med(c[p])
             if (mw > 0.1) printf "    %-12s wall %7.3f s  CPU %7.3f s  busy %.2f\n", p, mw, mc, mc / mw
             else { rest_w += mw; rest_c += mc }
           }
           printf "    %-12s wall %7.3f s  CPU %7.3f s\n", "the others", rest_w, rest_c
         }'
done

echo
echo "medians of $repeat alternated rounds; CPU = user + system; MiB = 2^20 bytes;" \
     "load average now $(cut -d' ' -f1-3 /proc/loadavg)"
header='%-6s %7s %8s %8s | %7s %7s %6s %8s %8s | %7s %7s %6s | %6s %6s | %8s\n'
printf '%32s | %-40s | %-22s | %-13s | %8s\n' "" program ptx "write floor" program
printf "$header" corpus input htm_out distinct wall CPU peak read written wall CPU peak wall CPU "/ptx"
printf "$header" "" MiB MiB words s s MiB MiB MiB s s MiB s s wall
for size in "${sizes[@]}"; do
  printf '%-6s %7s %8s %8s | %7.3f %7.3f %6s %8s %8s | %7.3f %7.3f %6s | %6.3f %6.3f | %8s\n' \
    "$size" "$(mib "${input[$size]}")" "$(mib "${published[$size]}")" "${distinct[$size]}" \
    "${wall[$size]}" "${cpu[$size]}" "$(mib "${peak[$size]}" 1024)" \
    "$(mib "${rchar[$size]}")" "$(mib "${wchar[$size]}")" \
    "${ptx_wall[$size]}" "${ptx_cpu[$size]}" "$(mib "${ptx_peak[$size]}" 1024)" \
    "${floor_wall[$size]}" "${floor_cpu[$size]}" "$(div "${wall[$size]}" "${ptx_wall[$size]}")"
done

echo
echo "ratios (the team's goal in brackets):"
if [ -n "${cpu[m]:-}" ] && [ -n "${cpu[l]:-}" ]; then
  echo "  CPU l/m: $(div "${cpu[l]}" "${cpu[m]}") (5x the words); CPU on l: ${cpu[l]} s (<= 2.8 s)"
  # System time is mostly the host's cost of the page-cache pages the
  # output fills, which varies between runs: user time alone beside it.
  echo "  user time l/m: $(div "${user[l]}" "${user[m]}"); on l: ${user[l]} s"
fi
for size in "${sizes[@]}"; do
  goal="<= 0.35"
  [ "$size" = s ] && goal="<= 0.6"
  work_written=$(calc "${wchar[$size]} - ${published[$size]}")
  peak_bytes=$(calc "${peak[$size]} * 1024")
  echo "  $size: wall program/ptx $(div "${wall[$size]}" "${ptx_wall[$size]}") ($goal)," \
       "CPU program/ptx $(div "${cpu[$size]}" "${ptx_cpu[$size]}")," \
       "wall program/floor $(div "${wall[$size]}" "${floor_wall[$size]}")"
  echo "     read / (input + work data written) $(div "${rchar[$size]}" "$(calc "${input[$size]} + $work_written")")" \
       "(work data written = written - htm_out = $(mib "$work_written") MiB)," \
       "written / htm_out $(div "${wchar[$size]}" "${published[$size]}")"
  echo "     peak per distinct word $(div "$peak_bytes" "${distinct[$size]}" %.0f) bytes," \
       "above 8 MiB $(div "$(calc "$peak_bytes - 8388608")" "${distinct[$size]}" %.0f) bytes (<= 150)"
done
