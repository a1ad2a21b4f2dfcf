#!/usr/bin/env bash
# Editing a 10-minute 44.1 kHz stereo 16-bit sound: zsnd edit's gain, normalize
# and fade-in against sox doing the same to the same samples; a long chain of
# gains on one second of it against a chain a tenth as long; in the window,
# each edit with the summary the view draws from, undo, a redraw 1920 pixels
# wide, and the resident memory after 50 edits. Run through scripts/bench.
set -euo pipefail
source bench/lib/common.bash
dir="$BENCH_DIR"
status=0

bin=$(bench_program bench_edit preview)
export QT_QPA_PLATFORM=offscreen ZEPHYRA_AUDIO=null

frames=$((600 * 44100))
len=$((frames * 4))
sox -n -r 44100 -b 16 -c 2 -e signed -t raw "$dir/long.raw" synth 600 pinknoise gain -6
{ printf "$(game_header $len)"; cat "$dir/long.raw"; } >"$dir/LONG.SND"
raw=(-t raw -r 44100 -e signed -b 16 -c 2)

bench_reset() { rm -f "$dir/OUT.SND" "$dir/out.raw"; }
for op in "gain=-3|gain -3" "normalize=-1|gain -n -1" "fade-in=5s|fade t 5"; do
  name=${op%%=*}
  # shellcheck disable=SC2086
  t_zsnd=$(bench_median 3 "$ZSND" edit "$dir/LONG.SND" "$dir/OUT.SND" "${op%%|*}")
  # shellcheck disable=SC2086
  t_sox=$(bench_median 3 sox "${raw[@]}" "$dir/long.raw" "${raw[@]}" "$dir/out.raw" ${op#*|})
  bench_row "edit 10 min $name: zsnd edit" "$t_zsnd" "s" "" 1
  bench_row "edit 10 min $name: sox" "$t_sox" "s" "" 1
  report "edit 10 min $name: zsnd / sox" "$(ratio "$t_zsnd" "$t_sox")" "x" "<= 1.0" \
    "$t_zsnd <= $t_sox"
done

# A chain of operations costs each the same: ten times the gains take about
# ten times as long (a cost that grew with the chain's square would be 100).
head -c $((44100 * 4)) "$dir/long.raw" >"$dir/second.raw"
{ printf "$(game_header $((44100 * 4)))"; cat "$dir/second.raw"; } >"$dir/SECOND.SND"
chain() { yes gain=0.01 | head -n "$1"; }
mapfile -t short < <(chain 500)
mapfile -t long < <(chain 5000)
t_short=$(bench_median 3 "$ZSND" edit "$dir/SECOND.SND" "$dir/OUT.SND" "${short[@]}")
t_long=$(bench_median 3 "$ZSND" edit "$dir/SECOND.SND" "$dir/OUT.SND" "${long[@]}")
bench_row "edit 1 s: 500 gains in one zsnd edit" "$t_short" "s" "" 1
report "edit 1 s: 5,000 gains / 500 gains" "$(ratio "$t_long" "$t_short")" "x" "<= 12" \
  "$t_long <= 12 * $t_short"
bench_reset
unset -f bench_reset chain

"$bin" "$dir/LONG.SND" >"$dir/window.txt"
value() { sed -n "s/^$1=//p" "$dir/window.txt"; }
for name in gain normalize fade_in; do
  ms=$(value "${name}_ms")
  report "edit 10 min in the window: $name" "$ms" "ms" "<= 150" "$ms <= 150"
done
report "edit 10 min in the window: undo" "$(value undo_ms)" "ms" "<= 50" "$(value undo_ms) <= 50"
report "edit 10 min: redraw at 1920 px" "$(value redraw_1920_ms)" "ms" "<= 16" \
  "$(value redraw_1920_ms) <= 16"
rss=$(value rss_after_50_kib)
limit=$(((len * 2 + 64 * 1024 * 1024) / 1024))
report "edit 10 min: resident after 50 edits" "$((rss / 1024))" "MiB" "<= $((limit / 1024))" \
  "$rss <= $limit"
exit $status
