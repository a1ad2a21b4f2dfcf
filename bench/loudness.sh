#!/usr/bin/env bash
# zsnd info --loudness against ffmpeg's ebur128 filter with true peak, over a
# folder of 1 GiB of 16-bit stereo game files, file by file on both sides, and
# over one game file of 1 GiB.
# Run through scripts/bench.
set -euo pipefail
source bench/lib/common.bash
dir="$BENCH_DIR"
status=0

count=1024
len=$((1024 * 1024 - 28))
mkdir -p "$dir/sounds"
header=$(game_header $len)
# Noise rather than silence, so every block passes the gates on both sides.
for ((i = 0; i < count; i++)); do
  { printf "$header"; head -c $len /dev/urandom; } >"$dir/sounds/f$i.snd"
done
bytes=$((count * (len + 28)))

ffmpeg_loop() {
  local f
  for f in "$dir"/sounds/*.snd; do
    ffmpeg -nostdin -hide_banner -nostats -loglevel error -f s16le -ar 44100 -ac 2 \
      -skip_initial_bytes 28 -i "$f" -af ebur128=peak=true -f null - 2>/dev/null
  done
}
# wall_and_cpu CMD...: "WALL CPU" of one run in seconds, CPU being user plus
# system time, children included.
wall_and_cpu() {
  local TIMEFORMAT='%R %U %S' out
  out=$({ time "$@" >/dev/null 2>&1; } 2>&1)
  awk -v t="$out" 'BEGIN { split(t, a, " "); printf "%.3f %.3f", a[1], a[2] + a[3] }'
}
load=$(cut -d' ' -f1 /proc/loadavg)
t_zsnd=$(bench_median 3 "$ZSND" info --loudness --csv "$dir/sounds")
read -r _ cpu_zsnd <<<"$(wall_and_cpu "$ZSND" info --loudness --csv "$dir/sounds")"
read -r t_ffmpeg cpu_ffmpeg <<<"$(wall_and_cpu ffmpeg_loop)"
rows=$("$ZSND" info --loudness --csv "$dir/sounds" | grep -c ',SND,true,')
[ "$rows" = "$count" ] || { echo "loudness: $rows of $count files measured" >&2; exit 1; }
rm -rf "$dir/sounds"

# One sound of 1 GiB: the measure of a single file against ffmpeg on the same
# samples, runs alternating so that a change of load touches both sides.
big="$dir/BIG.SND"
big_len=$((1024 * 1024 * 1024 - 28))
{ printf "$(game_header $big_len)"; head -c $big_len /dev/urandom; } >"$big"
ffmpeg_one() {
  ffmpeg -nostdin -hide_banner -nostats -loglevel error -f s16le -ar 44100 -ac 2 \
    -skip_initial_bytes 28 -i "$big" -af ebur128=peak=true -f null - 2>/dev/null
}
one_zsnd=() one_ffmpeg=()
for _ in 1 2 3; do
  one_zsnd+=("$(bench_seconds "$ZSND" info --loudness --csv "$big")")
  one_ffmpeg+=("$(bench_seconds ffmpeg_one)")
done
t_one_zsnd=$(median "${one_zsnd[@]}")
t_one_ffmpeg=$(median "${one_ffmpeg[@]}")
rm -f "$big"

report "loudness of 1 GiB in 1,024 files: zsnd" "$t_zsnd" "s" "" 1
bench_row "loudness of 1 GiB: ffmpeg ebur128 loop" "$t_ffmpeg" "s" "" 1
report "loudness: ffmpeg / zsnd" "$(ratio "$t_ffmpeg" "$t_zsnd")" "x" ">= 2" \
  "$t_ffmpeg >= 2 * $t_zsnd"
# zsnd measures files on every core; per core is its bytes over its CPU time.
bench_row "loudness: zsnd over all cores" \
  "$(awk -v b="$bytes" -v t="$t_zsnd" 'BEGIN { printf "%.0f", b / t / 1e6 }')" "MB/s" "" 1
bench_row "loudness: zsnd per core (CPU time)" \
  "$(awk -v b="$bytes" -v t="$cpu_zsnd" 'BEGIN { printf "%.0f", b / t / 1e6 }')" "MB/s" "" 1
bench_row "loudness: ffmpeg / zsnd in CPU time" "$(ratio "$cpu_ffmpeg" "$cpu_zsnd")" "x" "" 1
report "loudness of one 1 GiB sound: zsnd" "$t_one_zsnd" "s" "" 1
bench_row "loudness of one 1 GiB sound: ffmpeg" "$t_one_ffmpeg" "s" "" 1
report "loudness of one sound: zsnd / ffmpeg" "$(ratio "$t_one_zsnd" "$t_one_ffmpeg")" "x" \
  "<= 1.0" "$t_one_zsnd <= $t_one_ffmpeg"
bench_row "loudness: load average at the start" "$load" "" "" 1
exit $status
