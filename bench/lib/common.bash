# Helpers the benchmarks share; each bench/*.sh sources this file (scripts/bench
# runs them from the top of the checkout) and sets status=0 first.

# game_header LENGTH: printf escapes of a 16-bit stereo 44100 Hz game header
# (flag 0, ID 1) for LENGTH sample bytes.
game_header() {
  local v out=""
  for v in 0 1 "$1" 44100 16 2 0; do
    out+=$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((v & 255)) $((v >> 8 & 255)) \
      $((v >> 16 & 255)) $((v >> 24 & 255)))
  done
  printf '%s' "$out"
}

# median TIME...: the median of the times given.
median() { printf '%s\n' "$@" | sort -g | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }

# ratio A B: A / B with two decimals.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# report NAME MEASURED UNIT TARGET-TEXT CONDITION: one table row; a missed
# target sets status=1.
report() {
  local ok
  ok=$(bench_check "$5")
  bench_row "$1" "$2" "$3" "$4" "$ok"
  [ "$ok" = 1 ] || status=1
}

# bench_program TARGET FOLDER: builds the release build's TARGET (a measuring
# program under tests/FOLDER) and prints its path. The window benchmarks run
# offscreen with the null audio output.
bench_program() {
  local root
  root=$(pwd)
  cmake --preset release >/dev/null
  cmake --build "$root/build/release" -j 2 --target "$1" >/dev/null
  printf '%s' "$root/build/release/tests/$2/$1"
}
