#!/usr/bin/env bash
# The preview of a 1 GiB game file: the temporary copy and the window with its
# waveform against cp of the same data, the drawing alone, peak memory while
# previewing and playing, and CPU while playing. Run through scripts/bench.
set -euo pipefail
source bench/lib/common.bash
dir="$BENCH_DIR"
status=0

bin=$(bench_program bench_preview preview)
export QT_QPA_PLATFORM=offscreen ZEPHYRA_AUDIO=null
export TMPDIR="$dir/tmp"
mkdir -p "$TMPDIR"

value() { sed -n "s/^$1=//p" "$2"; }

len=$((1024 * 1024 * 1024 - 28))
{ printf "$(game_header $len)"; head -c $len /dev/urandom; } >"$dir/big.snd"
bench_reset() { rm -f "$dir/copy.snd" "$dir/copy.wav" "$TMPDIR"/*.wav; }
cc -O2 -o "$dir/layout_copy" bench/layout_copy.c

# Five of each, in turn, so a busy machine weighs on all alike.
opens=()
cps=()
layouts=()
buffered=()
for ((i = 0; i < 5; i++)); do
  bench_reset
  opens+=("$(bench_seconds "$bin" open "$dir/big.snd")")
  bench_reset
  cps+=("$(bench_seconds cp "$dir/big.snd" "$dir/copy.snd")")
  bench_reset
  layouts+=("$(bench_seconds "$dir/layout_copy" "$dir/big.snd" "$dir/copy.wav")")
  bench_reset
  buffered+=("$(bench_seconds "$dir/layout_copy" "$dir/big.snd" "$dir/copy.wav" buffer)")
done
bench_reset
echo "preview 1 GiB: open, five runs (s): ${opens[*]}" >&2
echo "preview 1 GiB: cp, five runs (s): ${cps[*]}" >&2
echo "preview 1 GiB: copy in the WAV layout, five runs (s): ${layouts[*]}" >&2
echo "preview 1 GiB: the same through a buffer, five runs (s): ${buffered[*]}" >&2
t_open=$(median "${opens[@]}")
t_cp=$(median "${cps[@]}")
t_layout=$(median "${layouts[@]}")
"$bin" draw "$dir/big.snd" >"$dir/draw.txt"
/usr/bin/time -f %M -o "$dir/rss" "$bin" play "$dir/big.snd" 4 >"$dir/play.txt"
rss_kib=$(cat "$dir/rss")
bench_reset
rm -f "$dir/big.snd"
unset -f bench_reset

draw_ms=$(value draw_ms "$dir/draw.txt")
cpu=$(value play_cpu_percent "$dir/play.txt")
bench_row "preview 1 GiB: open (copy + window)" "$t_open" "s" "" 1
bench_row "preview 1 GiB: cp" "$t_cp" "s" "" 1
report "preview 1 GiB: open / cp" "$(ratio "$t_open" "$t_cp")" "x" "<= 1.1" "$t_open <= 1.1 * $t_cp"
bench_row "preview 1 GiB: copy in the WAV layout / cp" "$(ratio "$t_layout" "$t_cp")" "x" "" 1
bench_row "preview 1 GiB: open / copy in the WAV layout" "$(ratio "$t_open" "$t_layout")" "x" "" 1
bench_row "preview 1 GiB: that copy through a buffer / cp" \
  "$(ratio "$(median "${buffered[@]}")" "$t_cp")" "x" "" 1
report "preview 1 GiB: waveform drawing" "$draw_ms" "ms" "< 100" "$draw_ms < 100"
report "preview 1 GiB: peak RSS preview + play" "$((rss_kib / 1024))" "MiB" "<= 64" "$rss_kib <= 65536"
report "preview: CPU while playing" "$cpu" "% core" "<= 10" "$cpu <= 10"
exit $status
