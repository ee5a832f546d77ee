#!/usr/bin/env bash
# duvdata from the outside: dictionaries match their descriptions, and create, load, dump and
# stat round-trip a file, while a bad load or a second create leaves it as it was.
set -uo pipefail
duvdata=$1
resources=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check WHAT COMMAND...: the command must succeed
  local what=$1; shift
  if ! "$@"; then echo "FAILED: $what"; failures=$((failures + 1)); fi
}
refuses() {  # refuses WHAT COMMAND...: the command must fail with one line on stderr
  local what=$1; shift
  if "$@" 2>"$work/err"; then echo "FAILED (accepted): $what"; failures=$((failures + 1)); return; fi
  if [ "$(wc -l <"$work/err")" -ne 1 ]; then echo "FAILED (not one line): $what"; cat "$work/err"; failures=$((failures + 1)); fi
}

# The committed dictionaries are the ones their descriptions give.
for description in "$resources"/dictionaries/*.txt; do
  name=$(basename "$description" .txt)
  check "dictionary $name" "$duvdata" dictionary "$description" "$work/$name.xdf"
  check "$name.xdf is current" cmp -s "$work/$name.xdf" "$resources/root/ddf/$name.xdf"
done

# A payments file: records of 51 bytes, key 0 the first 6 with duplicates.
check "create" "$duvdata" create "$work/PagamV" "$resources/root/ddf/PagamV.xdf"
check "created with .dat" test -f "$work/PagamV.dat"
refuses "a second create" "$duvdata" create "$work/PagamV" "$resources/root/ddf/PagamV.xdf"
pad=$(printf '20%.0s' $(seq 45))
printf '%s\n' "8102a0140c01$pad" "8101a0140c01$pad" "8102a0140c01${pad%20}58" >"$work/records"
check "load" "$duvdata" load "$work/PagamV" <"$work/records" >/dev/null
# Key 0 order, duplicates as they were loaded.
printf '%s\n' "8101a0140c01$pad" "8102a0140c01$pad" "8102a0140c01${pad%20}58" >"$work/expected"
"$duvdata" dump "$work/PagamV" --hex >"$work/dumped"
check "dump --hex gives the records in key order" cmp -s "$work/expected" "$work/dumped"
"$duvdata" dump "$work/PagamV" >"$work/readable"
check "readable dump" grep -qx '\\x81\\x01\\xa0\\x14\\x0c\\x01 *' "$work/readable"
"$duvdata" stat "$work/PagamV" >"$work/stat"
check "stat shows the key" grep -qx '  segment 1 6 string' "$work/stat"
check "stat counts the records" grep -qx 'records 3' "$work/stat"

# A load that goes wrong on its third line keeps nothing of it.
printf '%s\n' "8103a0140c01$pad" "8104a0140c01$pad" "81zz" | refuses "a malformed line" "$duvdata" load "$work/PagamV"
check "the message names the line" grep -q 'line 3' "$work/err"
printf '%s\n' "8103a0140c01$pad" "8103" | refuses "a wrong length" "$duvdata" load "$work/PagamV"
"$duvdata" dump "$work/PagamV" --hex >"$work/after"
check "a bad load leaves the file as it was" cmp -s "$work/expected" "$work/after"

check "dictionary TDespesa" "$duvdata" create "$work/TDespesa" "$resources/root/ddf/TDespesa.xdf"
printf '%s\n' "8101$(printf '41%.0s' $(seq 25))" "8101$(printf '42%.0s' $(seq 25))" |
  refuses "a duplicate unique key" "$duvdata" load "$work/TDespesa"
check "the duplicate is named" grep -q 'line 2: duplicate key' "$work/err"
check "nothing was loaded" test -z "$("$duvdata" dump "$work/TDespesa" --hex)"

refuses "no arguments" "$duvdata"
refuses "a missing file" "$duvdata" stat "$work/Missing"
refuses "a bad key" "$duvdata" lock "$work/PagamV" 8 1
echo 'record 0' >"$work/bad.txt"
refuses "a bad description" "$duvdata" dictionary "$work/bad.txt" "$work/bad.xdf"
check "no dictionary written" test ! -e "$work/bad.xdf"

[ "$failures" -eq 0 ] && echo "duvdata: all checks passed"
exit "$failures"
