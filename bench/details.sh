#!/usr/bin/env bash
# The Folder details window on a folder of 10,000 game files: time until every
# header is read and listed, and the longest pause of the window meanwhile.
# Run through scripts/bench.
set -euo pipefail
source bench/lib/common.bash
dir="$BENCH_DIR"
status=0

bin=$(bench_program bench_details ui)
export QT_QPA_PLATFORM=offscreen ZEPHYRA_AUDIO=null

header=$(game_header 100)
samples=$(head -c 100 /dev/zero | tr '\0' 'A')
mkdir -p "$dir/folder"
for ((i = 0; i < 10000; i++)); do
  { printf "$header"; printf '%s' "$samples"; } >"$dir/folder/f$i.snd"
done

value() { sed -n "s/^$1=//p" "$2"; }
listed=()
stalls=()
for run in 1 2 3 4 5; do
  "$bin" "$dir/folder" >"$dir/run.txt"
  listed+=("$(value listed_ms "$dir/run.txt")")
  stalls+=("$(value longest_stall_ms "$dir/run.txt")")
done
t_listed=$(median "${listed[@]}")
t_stall=$(median "${stalls[@]}")
report "details window 10,000 files: all listed" "$t_listed" "ms" "< 500" "$t_listed < 500"
report "details window: longest pause while reading" "$t_stall" "ms" "< 100" "$t_stall < 100"
rm -rf "$dir/folder"
exit $status
