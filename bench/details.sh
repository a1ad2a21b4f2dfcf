#!/usr/bin/env bash
# The Folder details window. On 10,000 game files: the time until every header
# is read and listed, and the longest pause of the window meanwhile. On 100,000
# game files: the time until every loudness column is filled, against
# `zsnd info --loudness --csv` on the same folder (runs of the two alternate,
# so a load on the machine falls on both), and the longest pause of the window
# over the whole fill, sorted by name and sorted by loudness.
# Run through scripts/bench.
set -euo pipefail
source bench/lib/common.bash
dir="$BENCH_DIR"
status=0

bin=$(bench_program bench_details ui)
export QT_QPA_PLATFORM=offscreen ZEPHYRA_AUDIO=null

header=$(game_header 100)
samples=$(head -c 100 /dev/zero | tr '\0' 'A')
# make_folder COUNT: a folder of COUNT game files of 25 frames each.
make_folder() {
  rm -rf "$dir/folder"
  mkdir -p "$dir/folder"
  for ((i = 0; i < $1; i++)); do
    { printf "$header"; printf '%s' "$samples"; } >"$dir/folder/f$i.snd"
  done
}
value() { sed -n "s/^$1=//p" "$2"; }
ms_of() { awk -v s="$1" 'BEGIN { printf "%.0f", s * 1000 }'; }

make_folder 10000
listed=()
stalls=()
for run in 1 2 3 4 5; do
  "$bin" "$dir/folder" >"$dir/run.txt"
  listed+=("$(value listed_ms "$dir/run.txt")")
  stalls+=("$(value listing_stall_ms "$dir/run.txt")")
done
t_listed=$(median "${listed[@]}")
t_stall=$(median "${stalls[@]}")
report "details window 10,000 files: all listed" "$t_listed" "ms" "< 500" "$t_listed < 500"
report "details window: longest pause while reading" "$t_stall" "ms" "< 100" "$t_stall < 100"

make_folder 100000
filled=()
cli=()
stalls=()
for run in 1 2 3; do
  "$bin" "$dir/folder" >"$dir/run.txt"
  filled+=("$(value measured_ms "$dir/run.txt")")
  stalls+=("$(value longest_stall_ms "$dir/run.txt")")
  cli+=("$(ms_of "$(bench_seconds "$ZSND" info --loudness --csv "$dir/folder")")")
done
"$bin" --by-loudness "$dir/folder" >"$dir/run.txt"
t_filled=$(median "${filled[@]}")
t_cli=$(median "${cli[@]}")
t_stall=$(median "${stalls[@]}")
t_sorted_stall=$(value longest_stall_ms "$dir/run.txt")
bench_row "details window 100,000 files: loudness filled" "$t_filled" "ms" "" 1
bench_row "zsnd info --loudness --csv, same folder" "$t_cli" "ms" "" 1
report "details loudness fill / command line" "$(ratio "$t_filled" "$t_cli")" "x" "<= 1.3" \
  "$t_filled <= 1.3 * $t_cli"
report "details 100,000: longest pause, by name" "$t_stall" "ms" "<= 100" "$t_stall <= 100"
report "details 100,000: longest pause, by loudness" "$t_sorted_stall" "ms" "<= 100" \
  "$t_sorted_stall <= 100"
rm -rf "$dir/folder"
exit $status
