#!/usr/bin/env bash
# Makes the real-text corpus ("real" in page_bench.sh): a folder of about
# 200 .txt files and 8-10 MB of text a user of this machine might index,
# taken from what Debian installed under /usr/share:
#   - the long text: the smallest package changelog of over 3,000,000 bytes
#     (/usr/share/doc/*/changelog*.gz, decompressed; ties go to the first
#     path), so that one text becomes several pages; fails if there is none
#     (on the machines of this project, git-man's of 3.2 MB; the kernel
#     headers' of 3.4 MB and harfbuzz's of 6.7 MB are larger);
#     LONG_TEXT=PATH takes that changelog (.gz) instead;
#   - 69 other changelogs and 70 copyright files (/usr/share/doc/*/copyright);
#   - 60 man pages (/usr/share/man/man[1-8] and its translations), the
#     first of each family (a language and the page's name up to its first
#     '-', '_' or '.': one gcloud page of thousands), rendered by man -l as a
#     reader sees them: 80 columns, neither hyphenated nor justified, no
#     escape sequences (where man is missing, the troff source).
# Each kind is picked from its paths sorted in the C locale at a fixed
# stride; a text that is empty, over 100,000 bytes (the long text aside) or
# the same as one already taken gives way to the next path. The same
# machine gives the same folder; another machine's packages give another.
#
#   bench/make_real_corpus.sh OUTPUT_FOLDER     (new or empty)
#
# Prints what it took: the texts and bytes of each kind, the total, and the
# long text's name, source and size. Names are the source's package (or man
# page) and file name made safe: lower-case letters, digits and '_', ending
# .txt, unique.
set -euo pipefail
export LC_ALL=C.UTF-8
unset MAN_KEEP_FORMATTING MANOPT

out=${1:?usage: bench/make_real_corpus.sh OUTPUT_FOLDER}
kLongText=3000000     # bytes the long text must pass
kLongestOther=100000  # bytes any other text may have
kChangelogs=69
kCopyrights=70
kManPages=60

mkdir -p "$out"
if [ -n "$(ls -A "$out")" ]; then
  echo "make_real_corpus: $out is not empty" >&2
  exit 1
fi

declare -A taken_name taken_text kind_count kind_bytes
last_name=  # the name take gave the last text it kept

# safe_name TEXT: TEXT lower-cased, each run of other bytes than letters and
# digits turned into one '_', at most 60 bytes, made unique with _2, _3, ...
safe_name() {
  local base name k=2
  base=$(printf '%s' "$1" | tr 'A-Z' 'a-z' | tr -cs 'a-z0-9' '_' | sed 's/^_*//; s/_*$//' | cut -c1-60)
  name=$base
  while [ -n "${taken_name[$name]:-}" ]; do name="${base}_$((k++))"; done
  taken_name[$name]=1
  echo "$name"
}

# take KIND NAME_TEXT LIMIT COMMAND...: writes what COMMAND prints as a text
# of the corpus and counts it under KIND, unless it is empty, over LIMIT
# bytes or the same as a text already taken (then nothing is kept and the
# status is 1).
take() {
  local kind=$1 name_text=$2 limit=$3 file sum size
  shift 3
  file="$out/.part"
  "$@" > "$file" 2> /dev/null || true
  size=$(stat -c %s "$file")
  sum=$(md5sum < "$file" | cut -d' ' -f1)
  if [ "$size" -eq 0 ] || [ "$size" -gt "$limit" ] || [ -n "${taken_text[$sum]:-}" ]; then
    rm -f "$file"
    return 1
  fi
  taken_text[$sum]=1
  last_name="$(safe_name "$name_text").txt"
  mv "$file" "$out/$last_name"
  kind_count[$kind]=$(( ${kind_count[$kind]:-0} + 1 ))
  kind_bytes[$kind]=$(( ${kind_bytes[$kind]:-0} + size ))
}

# pick KIND COUNT TAKER PATH...: COUNT of the PATHs at a fixed stride, each
# through TAKER PATH; one that TAKER refuses gives way to the next path not
# yet tried.
pick() {
  local kind=$1 count=$2 taker=$3 i at
  shift 3
  local paths=("$@") tried=()
  local total=${#paths[@]}
  for ((i = 0; i < count && i < total; i++)); do
    for ((at = i * total / count; at < total; at++)); do
      [ -z "${tried[$at]:-}" ] || continue
      tried[$at]=1
      "$taker" "$kind" "${paths[$at]}" && break
    done
  done
}

# The takers, one per kind: PATH to its text and name.
package_of() { local dir=${1%/*}; echo "${dir##*/}"; }
take_changelog() {
  local base=${2##*/}
  take "$1" "$(package_of "$2")_${base%.gz}" "$kLongestOther" gzip -dc "$2"
}
take_copyright() { take "$1" "$(package_of "$2")_copyright" "$kLongestOther" cat "$2"; }
render_man() {
  if command -v man > /dev/null; then
    # Written to a file, not a terminal, man leaves out bold and underline.
    MANWIDTH=80 man --no-hyphenation --no-justification -l "$1"
  else
    gzip -dc "$1"
  fi
}
take_man_page() {
  # /usr/share/man/de/man1/chage.1.gz -> man_de_chage_1
  local language=${2#/usr/share/man/} page=${2##*/}
  language=${language%%/*}
  [ "${language#man}" = "$language" ] || language=
  take "$1" "man_${language:+${language}_}${page%.gz}" "$kLongestOther" render_man "$2"
}

# sorted PATH...: those of the PATHs that are regular files (not links), in
# C order; a pattern that matched nothing is left out.
sorted() {
  local path
  for path in "$@"; do [ -f "$path" ] && [ ! -L "$path" ] && echo "$path"; done | LC_ALL=C sort
}

mapfile -t changelogs < <(sorted /usr/share/doc/*/changelog*.gz)
mapfile -t copyrights < <(sorted /usr/share/doc/*/copyright)
# The first man page of each family: a language and the page's name up to
# its first '-', '_' or '.', so that a family of thousands of pages (gcloud)
# counts once in the stride.
mapfile -t man_pages < <(sorted /usr/share/man/man[1-8]/*.gz /usr/share/man/*/man[1-8]/*.gz |
  awk -F/ '{ family = ($5 ~ /^man/ ? "" : $5) " " $NF; sub(/[-_.].*/, "", family) }
           !seen[family]++')

# The long text: gzip -l gives each changelog's decompressed size from its
# trailer without decompressing it, and its name without the .gz.
listing=
[ ${#changelogs[@]} -eq 0 ] || listing=$(gzip -l "${changelogs[@]}" 2> /dev/null || true)
long=$(awk -v min="$kLongText" 'NR > 1 && $4 != "(totals)" && $2 > min { print $2 "\t" $4 ".gz" }' \
  <<< "$listing" | LC_ALL=C sort -t "$(printf '\t')" -k1,1n -k2,2 | head -1 | cut -f2)
long=${LONG_TEXT:-$long}
if [ -z "$long" ]; then
  echo "make_real_corpus: no changelog under /usr/share/doc decompresses to over $kLongText bytes" >&2
  exit 1
fi
long_file=${long##*/}
if ! take "long text" "$(package_of "$long")_${long_file%.gz}" $((1 << 40)) gzip -dc "$long"; then
  echo "make_real_corpus: cannot read $long" >&2
  exit 1
fi
long_name=$last_name

pick changelogs "$kChangelogs" take_changelog "${changelogs[@]}"
pick "copyright files" "$kCopyrights" take_copyright "${copyrights[@]}"
pick "man pages" "$kManPages" take_man_page "${man_pages[@]}"

texts=0
bytes=0
for kind in "long text" changelogs "copyright files" "man pages"; do
  texts=$((texts + ${kind_count[$kind]:-0}))
  bytes=$((bytes + ${kind_bytes[$kind]:-0}))
done
echo "real corpus: $texts texts, $bytes bytes"
echo "  changelogs: ${kind_count[changelogs]:-0} of ${#changelogs[@]}, ${kind_bytes[changelogs]:-0} bytes"
echo "  copyright files: ${kind_count[copyright files]:-0} of ${#copyrights[@]}, ${kind_bytes[copyright files]:-0} bytes"
rendering=$(command -v man > /dev/null && echo "rendered by man -l" || echo "troff source")
echo "  man pages: ${kind_count[man pages]:-0} of ${#man_pages[@]} families, ${kind_bytes[man pages]:-0} bytes ($rendering)"
echo "  long text: $long_name, ${kind_bytes[long text]} bytes, from $long"
