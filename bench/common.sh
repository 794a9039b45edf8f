# What the whole-run benchmarks share (sourced by run_bench.sh, table.sh and
# page_bench.sh): the Release build, the corpus sizes, and one run of the
# program over a fresh copy of a corpus with the answers piped in.
#
# Needs root (the worktree), build and work set by the caller.

# The corpora: s, m and l keep their kept hashes; xl is optional (about
# 190 MB of text). corpus_of also makes "real", texts of this machine.
declare -A files=([s]=50 [m]=200 [l]=400 [xl]=1000)
declare -A words=([s]=100000 [m]=1000000 [l]=5000000 [xl]=25000000)

# build_tools [TARGETS...]: the Release program and the benchmark tools.
build_tools() {
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DINDEXER_BUILD_TESTS=OFF > /dev/null
  cmake --build "$build" --target "$@" > /dev/null
}

# corpus_of SIZE: makes the corpus of SIZE in $work once and prints its
# folder. A corpus made before the stamp file came is kept, save xl (it
# grew from 20 to 25 million words). The real-text corpus, SIZE real
# (bench/make_real_corpus.sh), is made anew each time (a few seconds), so
# that it is what this machine has now; what it took is left in
# $work/corpus_real.made.
corpus_of() {
  local size=$1 corpus="$work/corpus_$1"
  if [ "$size" = real ]; then
    rm -rf "$corpus" "$corpus.part"
    "$root/bench/make_real_corpus.sh" "$corpus.part" > "$corpus.made"
    mv "$corpus.part" "$corpus"
    echo "$corpus"
    return
  fi
  local stamp="${files[$size]} ${words[$size]}"
  if [ ! -d "$corpus" ] || { [ -e "$corpus.made" ] && [ "$(cat "$corpus.made")" != "$stamp" ]; } ||
     { [ ! -e "$corpus.made" ] && [ "$size" = xl ]; }; then
    rm -rf "$corpus" "$corpus.part"
    "$build/bench/make_corpus" "${files[$size]}" "${words[$size]}" "$corpus.part" > /dev/null
    mv "$corpus.part" "$corpus"
    echo "$stamp" > "$corpus.made"
  fi
  echo "$corpus"
}

# fresh_run CORPUS RUN PROGRAM: RUN holds only a copy of the corpus as
# txt_in and the program, flushed to disk so no run pays for another's
# writes.
fresh_run() {
  rm -rf "$2" && mkdir -p "$2" && cp -r "$1" "$2/txt_in" && cp "$3" "$2/"
  sync
}

# run_program RUN PROGRAM OUT ERR [ENV...] -- [WRAPPER...]: the program in
# RUN with the answers of a plain run piped in, its console to OUT and its
# error stream (with the phase times) to ERR, started through WRAPPER
# (e.g. /usr/bin/time -v -o FILE).
run_program() {
  local run=$1 program=$2 out=$3 err=$4
  shift 4
  local env=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do env+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  ( cd "$run" && printf '1\n1\n1\nwww.example.org\n\n' |
      env SOURCE_DATE_EPOCH=1700000000 INDEXER_PHASE_TIMES=1 "${env[@]}" \
      "$@" "./$(basename "$program")" > "$out" 2> "$err" )
}

# tree_hash FOLDER: the hash kept in bench/hashes.txt for a finished htm_out.
tree_hash() {
  cmake -DDIR="$1" -P "$root/bench/hash_tree.cmake" 2>&1 | sed 's/^hash //'
}
