#!/usr/bin/env bash
# zsnd import against sox doing the same work in one run: decode, very-high-
# quality rate conversion, mix to mono and dither to 16 bits. A 10-minute
# 48 kHz 24-bit stereo source, as FLAC and as WAV, into a 22050 Hz mono game
# file; and the peak memory, which must not grow with the length.
# Run through scripts/bench.
set -euo pipefail
source bench/lib/common.bash
dir="$BENCH_DIR"
status=0

# A 10-minute source of pink noise: no easy case for the FLAC decoder.
sox -n -r 48000 -b 24 -c 2 "$dir/long.wav" synth 600 pinknoise gain -12
sox "$dir/long.wav" "$dir/long.flac"
sox -n -r 48000 -b 24 -c 2 "$dir/short.flac" synth 60 pinknoise gain -12

bench_reset() { rm -f "$dir/OUT.SND" "$dir/out.raw"; }
for src in flac wav; do
  t_zsnd=$(bench_median 3 "$ZSND" import --rate 22050 --bits 16 --channels 1 \
    "$dir/long.$src" "$dir/OUT.SND")
  t_sox=$(bench_median 3 sox "$dir/long.$src" -t raw -e signed -b 16 -c 1 "$dir/out.raw" \
    remix - rate -v 22050 dither)
  report "import 10 min $src -> SND: zsnd" "$t_zsnd" "s" "" 1
  bench_row "import 10 min $src -> SND: sox" "$t_sox" "s" "" 1
  report "import 10 min $src: zsnd / sox" "$(ratio "$t_zsnd" "$t_sox")" "x" "<= 1.0" \
    "$t_zsnd <= $t_sox"
done

for src in short.flac long.flac; do
  bench_reset
  /usr/bin/time -f %M -o "$dir/rss" "$ZSND" import --rate 22050 --channels 1 \
    "$dir/$src" "$dir/OUT.SND" >/dev/null
  rss_kib=$(cat "$dir/rss")
  report "import ${src%.flac} FLAC: zsnd peak RSS" "$((rss_kib / 1024))" "MiB" "<= 64" \
    "$rss_kib <= 65536"
done
# The extremes of the rates taken: memory stays one block whatever the ratio.
sox -n -r 1000 -b 16 -c 2 "$dir/slow.wav" synth 60 sine 100 gain -6
sox -n -r 1000000 -b 16 -c 2 "$dir/fast.wav" synth 5 sine 1000 gain -6
for case in "slow 44100" "fast 6000"; do
  set -- $case
  bench_reset
  /usr/bin/time -f %M -o "$dir/rss" "$ZSND" import --rate "$2" \
    "$dir/$1.wav" "$dir/OUT.SND" >/dev/null
  rss_kib=$(cat "$dir/rss")
  report "import $1.wav to $2 Hz: zsnd peak RSS" "$((rss_kib / 1024))" "MiB" "<= 64" \
    "$rss_kib <= 65536"
done
bench_reset
unset -f bench_reset
exit $status
