#!/usr/bin/env bash
# zsnd against cp and sox: one 1 GiB conversion, a batch of 2,000 small files,
# and inspection of 10,000 files in one call. Run through scripts/bench.
set -euo pipefail
source bench/lib/common.bash
dir="$BENCH_DIR"
status=0

# make_game_files FOLDER COUNT LENGTH: COUNT game files of LENGTH sample bytes.
make_game_files() {
  local header samples i
  mkdir -p "$1"
  header=$(game_header "$3")
  samples=$(head -c "$3" /dev/zero | tr '\0' 'A')
  for ((i = 0; i < $2; i++)); do
    { printf "$header"; printf '%s' "$samples"; } >"$1/f$i.snd"
  done
}

# --- one large file -------------------------------------------------------
big_len=$((1024 * 1024 * 1024 - 28))
{ printf "$(game_header $big_len)"; head -c $big_len /dev/zero; } >"$dir/big.snd"
bench_reset() { rm -f "$dir/out.wav" "$dir/out.cp" "$dir/out.sox.wav"; }
t_zsnd=$(bench_median 5 "$ZSND" convert "$dir/big.snd" "$dir/out.wav")
t_cp=$(bench_median 5 cp "$dir/big.snd" "$dir/out.cp")
t_sox=$(bench_median 3 sox -t raw -r 44100 -e signed -b 16 -c 2 "$dir/big.snd" "$dir/out.sox.wav")
bench_reset
/usr/bin/time -f %M -o "$dir/rss" "$ZSND" convert "$dir/big.snd" "$dir/out.wav" >/dev/null
rss_kib=$(cat "$dir/rss")
bench_reset
rm -f "$dir/big.snd"
unset -f bench_reset
report "convert 1 GiB game->WAV: zsnd" "$t_zsnd" "s" "" 1
bench_row "convert 1 GiB: cp" "$t_cp" "s" "" 1
bench_row "convert 1 GiB: sox" "$t_sox" "s" "" 1
report "convert 1 GiB: zsnd / cp" "$(ratio "$t_zsnd" "$t_cp")" "x" "<= 1.25" "$t_zsnd <= 1.25 * $t_cp"
bench_row "convert 1 GiB: sox / zsnd" "$(ratio "$t_sox" "$t_zsnd")" "x" "" 1
report "convert 1 GiB: zsnd peak RSS" "$((rss_kib / 1024))" "MiB" "<= 32" "$rss_kib <= 32768"

# --- a batch of small files -------------------------------------------------
make_game_files "$dir/batch" 2000 $((20000 - 28))
mkdir -p "$dir/peer"
sox_loop() {
  local f
  for f in "$dir"/batch/*.snd; do
    sox -t raw -r 44100 -e signed -b 16 -c 2 "$f" "$dir/peer/${f##*/}.wav"
  done
}
cp_loop() {
  local f
  for f in "$dir"/batch/*.snd; do cp "$f" "$dir/peer/${f##*/}.wav"; done
}
bench_reset() { rm -f "$dir"/batch/*.WAV; rm -rf "$dir/peer"; mkdir -p "$dir/peer"; }
t_batch=$(bench_median 5 "$ZSND" batch --from snd --to wav "$dir/batch")
t_soxloop=$(bench_median 3 sox_loop)
t_cploop=$(bench_median 3 cp_loop)
bench_reset
unset -f bench_reset
[ "$(ls "$dir/batch" | wc -l)" = 2000 ] || { echo "batch inputs changed" >&2; exit 1; }
report "batch 2,000 x 20 KB: zsnd" "$t_batch" "s" "" 1
bench_row "batch 2,000 x 20 KB: sox loop" "$t_soxloop" "s" "" 1
bench_row "batch 2,000 x 20 KB: cp loop" "$t_cploop" "s" "" 1
report "batch: sox loop / zsnd" "$(ratio "$t_soxloop" "$t_batch")" "x" ">= 8" "$t_soxloop >= 8 * $t_batch"
report "batch: cp loop / zsnd" "$(ratio "$t_cploop" "$t_batch")" "x" ">= 6" "$t_cploop >= 6 * $t_batch"
rm -rf "$dir/batch" "$dir/peer"

# --- inspecting many files --------------------------------------------------
# Beside zsnd, the physical limit: a C loop that only opens each file, reads
# its 28 header bytes and closes it. The two alternate, so a busy machine
# weighs on both alike.
cc -O2 -o "$dir/info_baseline" bench/info_baseline.c
make_game_files "$dir/info" 10000 100
cd "$dir/info"
t_base=()
t_zsnd=()
for ((i = 0; i < 9; i++)); do
  t_base+=("$(bench_seconds "$dir/info_baseline" ./*.snd)")
  t_zsnd+=("$(bench_seconds "$ZSND" info ./*.snd)")
done
t_info=$(median "${t_zsnd[@]}")
per_file=$(awk -v t="$t_info" 'BEGIN { printf "%.2f", t * 1e6 / 10000 }')
per_base=$(awk -v t="$(median "${t_base[@]}")" 'BEGIN { printf "%.2f", t * 1e6 / 10000 }')
report "info 10,000 files: zsnd per file" "$per_file" "us" "<= 10" "$per_file <= 10"
bench_row "info 10,000 files: open+read+close in C" "$per_base" "us" "" 1
report "info: zsnd / C open+read+close" "$(ratio "$per_file" "$per_base")" "x" "<= 2" \
  "$per_file <= 2 * $per_base"
t_csv=$(bench_median 5 "$ZSND" info --csv .)
per_row=$(awk -v t="$t_csv" 'BEGIN { printf "%.2f", t * 1e6 / 10000 }')
report "info --csv of a 10,000-file folder: per file" "$per_row" "us" "<= 10" "$per_row <= 10"
cd - >/dev/null
rm -rf "$dir/info"

# --- hashing the samples ----------------------------------------------------
hash_len=$((1024 * 1024 * 1024 - 28))
{ printf "$(game_header $hash_len)"; head -c $hash_len /dev/urandom; } >"$dir/hash.snd"
cat "$dir/hash.snd" >/dev/null  # in the page cache (tmpfs) before the first run
t_hash=$(bench_median 5 "$ZSND" info --hash "$dir/hash.snd")
rate=$(awk -v t="$t_hash" -v n="$hash_len" 'BEGIN { printf "%.2f", n / t / 1e9 }')
report "info --hash, 1 GiB game file" "$rate" "GB/s" ">= 1" "$rate >= 1"
# The same per second of processor time: what the hashing costs when other
# work shares the machine.
/usr/bin/time -f "%U %S" -o "$dir/cpu" "$ZSND" info --hash "$dir/hash.snd" >/dev/null
cpu_rate=$(awk -v n="$hash_len" '{ printf "%.2f", n / ($1 + $2) / 1e9 }' "$dir/cpu")
bench_row "info --hash, 1 GiB: per CPU second" "$cpu_rate" "GB/s" "" 1
rm -f "$dir/hash.snd"
exit $status
