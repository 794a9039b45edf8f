#!/usr/bin/env bash
# What a reader of a document base gets: runs the program over each corpus
# and prints per corpus how many groups (i_<g>.htm) and pages (page_*.htm)
# it made, the largest annotated page, word index page and search page
# (name and bytes), index.htm, and the largest page of all but index.htm;
# the output bytes per input byte, the word index and search page bytes per
# 100,000 words, index.htm bytes per distinct word; and how long headless
# Chromium takes to open index.htm and the largest annotated, word index and
# search pages (bench/open_time.mjs: to the load event, to the page laid
# out, the browser's CPU time and its renderer's memory), with the load
# average before each open. Then one table, a row per corpus, to paste
# into a note.
#
#   bench/page_bench.sh [SIZES...]      sizes: s m l xl real (default: s m)
#
# A size is a benchmark corpus (bench/make_corpus, as run_bench.sh) or
# "real": about 200 texts and 9 MB of this machine's changelogs, copyright
# files and man pages, one text over 3 MB (bench/make_real_corpus.sh).
#
# PROGRAM   the program to measure (default: a Release build in BUILD_DIR,
#           default build/bench)
# OPEN      which pages to open, any of "index page i s": index.htm, the
#           largest annotated, word index and search page (default all four)
# CAP       seconds one open may take before it counts as "did not open"
#           (default 300)
# REPEAT    opens per page (default 3; an open over a minute is not repeated)
# WORK      corpora and runs (default /tmp/indexer_page_bench)
#
# Needs Debian's chromium and Node 20 (bash .ci/prepare/browser.sh) and the
# playwright-core of tests/browser (installed here with npm ci when missing).
# On a shared machine the wall times grow with the load average, the CPU
# times much less.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/bench}
work=${WORK:-/tmp/indexer_page_bench}
open=${OPEN:-index page i s}
cap=${CAP:-300}
repeat=${REPEAT:-3}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(s m)
for size in "${sizes[@]}"; do
  case $size in
    s | m | l | xl | real) ;;
    *) echo "page_bench: no corpus $size (sizes: s m l xl real)" >&2; exit 2 ;;
  esac
done
for kind in $open; do
  case $kind in
    index | page | i | s) ;;
    *) echo "page_bench: no page kind $kind in OPEN (kinds: index page i s)" >&2; exit 2 ;;
  esac
done

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
mb() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1e6 }'; }
load_average() { cut -d' ' -f1-3 /proc/loadavg; }
# largest FOLDER NAME...: "bytes name" of the largest file in FOLDER named
# by one of the find patterns NAME (e.g. -name 'i_*.htm'), the first name
# of those as large.
largest() {
  local folder=$1
  shift
  find "$folder" -maxdepth 1 -type f \( "$@" \) -printf '%s %f\n' | LC_ALL=C sort -k1,1nr -k2,2 | head -1
}
# open_cell LINE: what open_time.mjs printed for a page, as a table cell:
# the medians over the opens of the seconds to the page laid out and of the
# browser's CPU seconds, and how many opens did not come to the load event.
open_cell() {
  awk -v cap="$cap" '
    function median(v, n,   i, j, t) {
      for (i = 2; i <= n; ++i) for (j = i; j > 1 && v[j - 1] > v[j]; --j) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
      return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    }
    {
      rest = $0
      while (match(rest, /laid out [0-9.]+ s \([0-9.]+ s CPU/)) {
        split(substr(rest, RSTART, RLENGTH), f, " ")
        laid[++n] = f[3]; cpu[n] = substr(f[5], 2)
        rest = substr(rest, RSTART + RLENGTH)
      }
      failed = gsub(/did not open/, "")
    }
    END {
      if (n == 0) { printf "did not open in %s s", cap; exit }
      printf "%.1f s (%.1f)", median(laid, n), median(cpu, n)
      if (failed) printf ", %d did not open", failed
    }' <<< "$1"
}

declare -A groups pages largest_page largest_i largest_s main_index opened
echo "program: $program"
for size in "${sizes[@]}"; do
  corpus=$(corpus_of "$size")
  run="$work/run_$size"
  fresh_run "$corpus" "$run" "$program"
  if ! run_program "$run" "$program" "$work/out_$size.txt" "$work/err_$size.txt"; then
    echo "the program failed on corpus $size (its error stream: $work/err_$size.txt)"
    exit 1
  fi
  out="$run/htm_out"
  texts=$(find "$corpus" -maxdepth 1 -name '*.txt' | wc -l)
  input=$(bytes "$corpus"/*.txt)
  input_words=$(cat "$corpus"/*.txt | wc -w)
  published=$(bytes "$out"/*)
  word_index=$(bytes "$out"/i_*.htm)
  search=$(bytes "$out"/s_*.htm)
  main_index=$(bytes "$out/index.htm")
  distinct=$(grep -o ' id="id[0-9]*"' "$out/index.htm" | sort -u | wc -l)
  groups[$size]=$(find "$out" -maxdepth 1 -name 'i_*.htm' | wc -l)
  pages[$size]=$(find "$out" -maxdepth 1 -name 'page_*.htm' | wc -l)
  largest_page[$size]=$(largest "$out" -name 'page_*.htm')
  largest_i[$size]=$(largest "$out" -name 'i_*.htm')
  largest_s[$size]=$(largest "$out" -name 's_*.htm')
  main_index[$size]=$main_index
  largest_other=$(largest "$out" -name '*.htm' ! -name index.htm)

  echo "== corpus $size: $texts files, $input bytes, $input_words words, $distinct distinct words"
  [ "$size" != real ] || sed 's/^/   /' "$work/corpus_real.made"
  notes=$(grep -c -e '^skipped' -e '^not UTF-8' "$work/err_$size.txt" || true)
  [ "$notes" = 0 ] || echo "the program named $notes files as skipped or not UTF-8 ($work/err_$size.txt)"
  echo "groups: ${groups[$size]} (i_<g>.htm), pages: ${pages[$size]} (page_*.htm)"
  echo "largest annotated page: ${largest_page[$size]#* }, ${largest_page[$size]%% *} bytes"
  echo "largest word index page: ${largest_i[$size]#* }, ${largest_i[$size]%% *} bytes"
  echo "largest search page: ${largest_s[$size]#* }, ${largest_s[$size]%% *} bytes"
  echo "index.htm: $main_index bytes, $(ratio "$main_index" "$distinct") per distinct word"
  echo "largest page but index.htm: ${largest_other#* }, ${largest_other%% *} bytes"
  echo "htm_out: $published bytes, $(ratio "$published" "$input") bytes per input byte"
  echo "word index pages: $word_index bytes, $(ratio "$word_index" "$input_words" 100000) per 100,000 words"
  echo "search pages: $search bytes, $(ratio "$search" "$input_words" 100000) per 100,000 words"
  for kind in $open; do
    case $kind in
      index) page=index.htm ;;
      page) page=${largest_page[$size]#* } ;;
      i) page=${largest_i[$size]#* } ;;
      s) page=${largest_s[$size]#* } ;;
    esac
    if [ -z "$page" ]; then
      echo "no $kind page to open"
      continue
    fi
    echo "load average: $(load_average)"
    line=$(node "$root/bench/open_time.mjs" "$cap" "$repeat" "$out/$page")
    echo "$line"
    opened[$size,$kind]=$(open_cell "$line")
  done
done

echo
echo "MB = 10^6 bytes; an open: seconds to the page laid out (browser CPU seconds), medians" \
     "of up to $repeat opens each, $cap s at most; load average now $(load_average)"
echo
echo "| corpus | groups | pages | largest page_ MB | largest i_ MB | largest s_ MB | index.htm MB" \
     "| open index.htm | open page_ | open i_ | open s_ |"
echo "| --- | --- | --- | --- | --- | --- | --- | --- | --- | --- | --- |"
for size in "${sizes[@]}"; do
  printf '| %s | %s | %s | %s | %s | %s | %s' "$size" "${groups[$size]}" "${pages[$size]}" \
    "$(mb "${largest_page[$size]%% *}")" "$(mb "${largest_i[$size]%% *}")" \
    "$(mb "${largest_s[$size]%% *}")" "$(mb "${main_index[$size]}")"
  for kind in index page i s; do printf ' | %s' "${opened[$size,$kind]:--}"; done
  echo " |"
done
