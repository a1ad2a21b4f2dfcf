#!/usr/bin/env bash
# The copies on a disk file system, where the game is kept: convert, cut, batch
# and the preview's temporary copy on ext4. The peer of a file zsnd writes is
# cp of the same data followed by an fsync of the copy, as zsnd flushes each
# file it writes before renaming it into place; the preview's temporary file
# is not flushed, so its peer is cp alone. On tmpfs (the other benchmarks)
# flushing is free and the copy costs differ, so these rows are measured here.
# Runs on the build folder when that is ext4, else on an ext4 image made and
# loop-mounted for the run (as root). Run through scripts/bench.
set -euo pipefail
source bench/lib/common.bash
status=0

build="${ZS_RELEASE:-$(pwd)/build/release}"
mnt=""
image=""
cleanup() {
  if [ -n "$mnt" ]; then umount "$mnt" || true; rmdir "$mnt" || true; fi
  if [ -n "$image" ]; then rm -f "$image"; fi
  if [ -n "${dir:-}" ]; then rm -rf "$dir"; fi
}
trap cleanup EXIT
if [ "$(findmnt -n -o FSTYPE -T "$build")" = ext4 ] && [ -z "${BENCH_EXT4_IMAGE:-}" ]; then
  dir=$(mktemp -d "$build/bench-ext4.XXXXXX")
  where="the build folder"
else
  if [ "$(id -u)" -ne 0 ] || ! command -v mkfs.ext4 >/dev/null; then
    echo "ext4: the build folder is not ext4, and an ext4 image needs root and mkfs.ext4" >&2
    exit 1
  fi
  image=$(mktemp "$build/bench-ext4.XXXXXX.img")
  truncate -s 3G "$image"
  mkfs.ext4 -q -F "$image"
  mnt=$(mktemp -d "$build/bench-ext4.XXXXXX.mnt")
  mount -o loop "$image" "$mnt"
  dir="$mnt/work"
  mkdir "$dir"
  where="a loop-mounted image"
fi
echo "ext4: measuring on $where ($dir)" >&2

cat >"$BENCH_DIR/fsync_files.c" <<'EOF'
#include <fcntl.h>
#include <unistd.h>
int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const int fd = open(argv[i], O_RDONLY);
        if (fd < 0 || fsync(fd) != 0 || close(fd) != 0) return 1;
    }
    return 0;
}
EOF
fsync_files="$BENCH_DIR/fsync_files"
cc -O2 -o "$fsync_files" "$BENCH_DIR/fsync_files.c"
durable_cp() { cp "$1" "$2" && "$fsync_files" "$2"; }

# alternate N NAME: runs bench_a and bench_b N times in turn (bench_reset
# before each), so a busy machine weighs on both alike; prints both runs to
# stderr and sets t_a and t_b to their medians.
alternate() {
  local a=() b=() i
  for ((i = 0; i < $1; i++)); do
    bench_reset
    a+=("$(bench_seconds bench_a)")
    bench_reset
    b+=("$(bench_seconds bench_b)")
  done
  bench_reset
  echo "ext4 $2: ${a[*]}; against ${b[*]}" >&2
  t_a=$(median "${a[@]}")
  t_b=$(median "${b[@]}")
}

# --- one 512 MiB game file: convert and cut -----------------------------------
len=$((512 * 1024 * 1024 - 28))
{ printf "$(game_header $len)"; head -c $len /dev/urandom; } >"$dir/big.snd"
sync -f "$dir"
bench_reset() { rm -f "$dir/out.wav" "$dir/out.cp"; }
bench_b() { durable_cp "$dir/big.snd" "$dir/out.cp"; }

bench_a() { "$ZSND" convert "$dir/big.snd" "$dir/out.wav"; }
alternate 7 convert
report "ext4 convert 512 MiB: zsnd" "$t_a" "s" "" 1
bench_row "ext4 convert 512 MiB: cp + fsync" "$t_b" "s" "" 1
report "ext4 convert 512 MiB: zsnd / cp + fsync" "$(ratio "$t_a" "$t_b")" "x" "<= 1.2" \
  "$t_a <= 1.2 * $t_b"

# From a quarter second in to the end: the samples start 44,128 bytes into the
# source and 44 into the WAV, so their offsets within a page differ.
bench_a() { "$ZSND" cut --from 0.25 "$dir/big.snd" "$dir/out.wav"; }
alternate 7 cut
report "ext4 cut 512 MiB: zsnd" "$t_a" "s" "" 1
report "ext4 cut 512 MiB: zsnd / cp + fsync" "$(ratio "$t_a" "$t_b")" "x" "<= 1.2" \
  "$t_a <= 1.2 * $t_b"

# --- the preview's temporary copy ---------------------------------------------
# 1 GiB, as on tmpfs in bench/preview.sh.
rm -f "$dir/big.snd"
len=$((1024 * 1024 * 1024 - 28))
{ printf "$(game_header $len)"; head -c $len /dev/urandom; } >"$dir/big.snd"
sync -f "$dir"
bin=$(bench_program bench_preview preview)
export QT_QPA_PLATFORM=offscreen ZEPHYRA_AUDIO=null
export TMPDIR="$dir/tmp"
mkdir -p "$TMPDIR"
cc -O2 -o "$BENCH_DIR/layout_copy" bench/layout_copy.c
bench_reset() { rm -f "$dir/out.cp" "$dir/out.wav" "$TMPDIR"/*.wav; }
bench_a() { "$bin" open "$dir/big.snd"; }
bench_b() { cp "$dir/big.snd" "$dir/out.cp"; }
alternate 7 preview
t_open=$t_a
t_cp=$t_b
# The copy alone in the preview's layout, each way SampleCopier can make it.
bench_a() { "$BENCH_DIR/layout_copy" "$dir/big.snd" "$dir/out.wav" kernel; }
bench_b() { "$BENCH_DIR/layout_copy" "$dir/big.snd" "$dir/out.wav" buffer; }
alternate 5 "layout copy (kernel; buffer)"
report "ext4 preview 1 GiB: open (copy + window)" "$t_open" "s" "" 1
bench_row "ext4 preview 1 GiB: cp" "$t_cp" "s" "" 1
report "ext4 preview 1 GiB: open / cp" "$(ratio "$t_open" "$t_cp")" "x" "<= 1.2" \
  "$t_open <= 1.2 * $t_cp"
bench_row "ext4 preview layout, in the kernel / cp" "$(ratio "$t_a" "$t_cp")" "x" "" 1
bench_row "ext4 preview layout, page-placed buffer / cp" "$(ratio "$t_b" "$t_cp")" "x" "" 1
unset TMPDIR
rm -f "$dir/big.snd"

# --- a batch of small files ---------------------------------------------------
mkdir -p "$dir/batch"
len=$((20000 - 28))
for ((i = 0; i < 2000; i++)); do
  { printf "$(game_header $len)"; head -c $len /dev/urandom; } >"$dir/batch/f$i.snd"
done
sync -f "$dir"
bench_reset() { rm -f "$dir"/batch/*.WAV; rm -rf "$dir/peer"; mkdir -p "$dir/peer"; }
bench_a() { "$ZSND" batch --from snd --to wav "$dir/batch"; }
bench_b() {
  local f
  for f in "$dir"/batch/*.snd; do cp "$f" "$dir/peer/${f##*/}.wav"; done
  "$fsync_files" "$dir"/peer/*
}
alternate 3 batch
report "ext4 batch 2,000 x 20 KB: zsnd" "$t_a" "s" "" 1
bench_row "ext4 batch 2,000 x 20 KB: cp loop + fsync" "$t_b" "s" "" 1
report "ext4 batch: zsnd / cp loop + fsync" "$(ratio "$t_a" "$t_b")" "x" "<= 1.2" \
  "$t_a <= 1.2 * $t_b"
exit $status
