#!/usr/bin/env bash
# Starts the program under Xvfb with the AT-SPI bridge on, on a private session
# bus, and reads its main window from outside (atspi_main_window.py).
# Usage: atspi_main_window.sh PROGRAM. Exits 77 (skipped) when the display or
# the accessibility bus cannot be started here.
set -uo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)

skip() { echo "SKIP: $*"; exit 77; }
for tool in Xvfb dbus-run-session /usr/libexec/at-spi-bus-launcher /usr/bin/python3; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
/usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
  skip "python3-gi with gir1.2-atspi-2.0 is not installed"

if [ "${1:-}" != "--inside" ]; then
  exec dbus-run-session -- bash "$0" --inside "$program"
fi
program=$(realpath "$2")
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

exec 5<> <(:)
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
read -r -t 10 display <&5 || skip "Xvfb did not start"
export DISPLAY=":$display"

/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
pids+=($!)
for ((i = 0; i < 50; i++)); do
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
    >/dev/null 2>&1 && break
  sleep 0.1
done
[ "$i" -lt 50 ] || skip "the accessibility bus did not start"

mkdir -p "$work/music"
printf 'RIFF' >"$work/music/two.wav"
head -c 128 /dev/zero >"$work/music/one.snd"
cd "$work/music"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb ZEPHYRA_AUDIO=null \
  ZEPHYRA_REGISTRY="$work/registry.sqlite3" "$program" >"$work/program.log" 2>&1 &
pids+=($!)

/usr/bin/python3 "$here/atspi_main_window.py"
status=$?
[ $status -eq 0 ] || { echo "program output:"; cat "$work/program.log"; }
exit $status
