#!/usr/bin/env bash
# Start-up of the desktop program under Xvfb: the time from exec until the main
# window is painted and the event loop is free for input (ZEPHYRA_STARTUP_PROBE),
# as the median of several starts, against an empty Qt Widgets window built with
# the same compiler flags. The start folder holds 2,000 sound files, so a folder
# listing that held up the first paint would show; a second start in a folder of
# 100,000 files shows that the time to take input does not grow with the folder
# (it is listed in the background). Run through scripts/bench.
set -euo pipefail
source bench/lib/common.bash
dir="$BENCH_DIR"
root=$(pwd)
program="$ZS_RELEASE/src/app/zephyra-sound-utility"
runs=5
status=0

# The baseline: release flags of the build, the program's own probe.
g++ -std=c++20 -O3 -DNDEBUG -fPIC -I"$root/src/app" "$root/bench/startup_baseline.cpp" \
  "$root/src/app/StartupProbe.cpp" $(pkg-config --cflags --libs Qt6Widgets) -o "$dir/baseline"

# A private X server; -displayfd reports the display number it chose.
exec 5<> <(:)
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
read -r -t 10 display <&5 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb ZEPHYRA_AUDIO=null ZEPHYRA_STARTUP_PROBE=1
export ZEPHYRA_REGISTRY="$dir/registry.sqlite3"

mkdir -p "$dir/sounds"
header=$(printf '\\x00\\x00\\x00\\x00\\x0c\\x00\\x00\\x00\\x64\\x00\\x00\\x00\\x22\\x56\\x00\\x00\\x10\\x00\\x00\\x00\\x02\\x00\\x00\\x00\\x00\\x00\\x00\\x00')
for ((i = 0; i < 2000; i++)); do
  { printf "$header"; head -c 100 /dev/zero; } >"$dir/sounds/s$i.snd"
done

# start_seconds WHAT CMD...: seconds from exec until the probe's WHAT line
# ("painted": first paint; "ready": the event loop is free for input).
start_seconds() {
  local what=$1 start at
  shift
  start=$EPOCHREALTIME
  at=$(timeout 20 "$@" 2>/dev/null | awk -v w="$what" '$1 == w { print $2 }')
  [ -n "$at" ] || { echo "no $what line from $1" >&2; return 1; }
  awk -v a="$start" -v r="$at" 'BEGIN { printf "%.6f", r / 1e6 - a }'
}
# median_start WHAT CMD...: median of $runs starts after one warm-up start.
median_start() {
  local times=() i
  start_seconds "$@" >/dev/null
  for ((i = 0; i < runs; i++)); do times+=("$(start_seconds "$@")"); done
  echo "start-up: $(basename "$2") $1, $runs runs (s): ${times[*]}" >&2
  median "${times[@]}"
}

mkdir -p "$dir/many"
samples=$(head -c 100 /dev/zero | tr '\0' 'A')
for ((i = 0; i < 100000; i++)); do
  { printf "$header"; printf '%s' "$samples"; } >"$dir/many/s$i.snd"
done

cd "$dir/sounds"
t_base=$(median_start ready "$dir/baseline")
t_paint=$(median_start painted "$program")
t_app=$(median_start ready "$program")
t_many=$(median_start ready "$program" "$dir/many")
ms() { awk -v s="$1" 'BEGIN { printf "%.1f", s * 1000 }'; }
ratio=$(awk -v a="$t_app" -v b="$t_base" 'BEGIN { printf "%.2f", a / b }')

bench_row "start-up: empty Qt window ready" "$(ms "$t_base")" "ms" "" 1
bench_row "start-up: main window first paint" "$(ms "$t_paint")" "ms" "" 1
ok=$(bench_check "$t_app <= 0.300")
bench_row "start-up: main window ready" "$(ms "$t_app")" "ms" "<= 300" "$ok"
[ "$ok" = 1 ] || status=1
ok=$(bench_check "$t_app <= 2.5 * $t_base")
bench_row "start-up: main window / empty window" "$ratio" "x" "<= 2.5" "$ok"
[ "$ok" = 1 ] || status=1
bench_row "start-up in 100,000 files: main window ready" "$(ms "$t_many")" "ms" "" 1
ok=$(bench_check "$t_many <= 2.5 * $t_base")
bench_row "start-up in 100,000 files / empty window" \
  "$(awk -v a="$t_many" -v b="$t_base" 'BEGIN { printf "%.2f", a / b }')" "x" "<= 2.5" "$ok"
[ "$ok" = 1 ] || status=1
exit $status
