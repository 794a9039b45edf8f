#!/usr/bin/env bash
# The Windows build, run under Wine over the sample folder, must publish the
# same htm_out as the native build, byte for byte, and print the same screens
# and messages (its own path and the run folder aside). Both runs get the
# same answers and a fixed clock.
#
#   tests/e2e/windows_matches_native.sh WINDOWS_EXE NATIVE_EXE [TXT_IN]
#
# WINE names the Wine program (default: wine64 from Debian's package).
# Prints one PASS or FAIL line per check, then "windows: N passed, N failed";
# exits non-zero when anything differs.
set -uo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 WINDOWS_EXE NATIVE_EXE [TXT_IN]" >&2
  exit 2
fi
windows_exe=$(realpath "$1")
native_exe=$(realpath "$2")
samples=$(realpath "${3:-$(dirname "$0")/../../examples/txt_in}")
wine=${WINE:-$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)}
answers='1\n1\n1\nwww.example.org\n\n'
export SOURCE_DATE_EPOCH=1700000000 WINEDEBUG=-all

passed=0
failed=0
check() {  # check NAME COMMAND...: runs the comparison, counts and reports it
  local name=$1
  shift
  if "$@"; then
    echo "PASS $name"
    passed=$((passed + 1))
  else
    echo "FAIL $name"
    failed=$((failed + 1))
  fi
}

# Replaces every occurrence of $2 in the lines of file $1 by $3 (literal
# text: awk's -v would read the backslashes of a Windows path as escapes).
replace() {
  FROM=$2 TO=$3 awk '{
    from = ENVIRON["FROM"]; out = ""
    while ((i = index($0, from)) > 0) {
      out = out substr($0, 1, i - 1) ENVIRON["TO"]
      $0 = substr($0, i + length(from))
    }
    print out $0
  }' "$1"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for side in windows native; do
  mkdir "$work/$side"
  cp -r "$samples" "$work/$side/txt_in"
done
program=$(basename "$windows_exe")
cp "$windows_exe" "$work/windows/$program"
cp "$native_exe" "$work/native/$program"

(cd "$work/native" && printf "$answers" | "./$program" >../native.out 2>../native.err)
native_status=$?
(cd "$work/windows" && printf "$answers" | "$wine" "./$program" >../windows.out 2>../windows.err)
windows_status=$?

check "both runs end with status 0 (native $native_status, windows $windows_status)" \
  test "$native_status" -eq 0 -a "$windows_status" -eq 0
check "htm_out published" test -s "$work/windows/htm_out/index.htm" -a -s "$work/native/htm_out/index.htm"
check "htm_out identical, byte for byte ($(ls "$work/native/htm_out" 2>/dev/null | wc -l) files)" \
  diff -r "$work/native/htm_out" "$work/windows/htm_out"

# The screens: the program prints its own path, native on each host (on
# Wine the Unix root is drive Z:). Everything else, CR LF included, must match.
windows_folder="Z:$(printf '%s' "$work/windows" | tr / '\\')"
replace "$work/native.out" "$work/native/$program" "<program>" >"$work/native.screens"
replace "$work/windows.out" "$windows_folder\\$program" "<program>" >"$work/windows.screens"
check "screens identical (CR LF not doubled)" cmp "$work/native.screens" "$work/windows.screens"

# Messages name paths in the host's native form; Wine's own notes are not
# the program's.
replace "$work/native.err" "$work/native" "<folder>" | tr '\\' / >"$work/native.messages"
grep -v '^wine: ' "$work/windows.err" | replace /dev/stdin "$windows_folder" "<folder>" |
  tr '\\' / >"$work/windows.messages"
check "messages identical" diff "$work/native.messages" "$work/windows.messages"

if [ "$failed" -ne 0 ]; then
  for side in native windows; do
    echo "--- $side: status, last screen lines, messages"
    tail -n 5 "$work/$side.out"
    cat "$work/$side.err"
  done
fi
echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
