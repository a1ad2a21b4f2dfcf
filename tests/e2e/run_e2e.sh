#!/usr/bin/env bash
# Installs the desktop program into a temporary prefix and walks the typical
# road through it under Xvfb, with a private session bus for the accessibility
# tree. Usage: run_e2e.sh BUILD_DIR SHOTS_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$1"
shots="$2"

for tool in xvfb-run xdotool dbus-run-session import pactl; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/deps"; exit 1; }
done
python=/usr/bin/python3  # Debian's, which has the AT-SPI bindings
"$python" -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
  { echo "the AT-SPI bindings (gir1.2-atspi-2.0) are missing: run scripts/deps"; exit 1; }

work="$(mktemp -d -t zephyra-e2e.XXXXXX)"
trap 'rm -rf "$work"' EXIT
# The programs' own install rules and their desktop files, into a prefix of our own.
for part in src/app src/cli data; do
  cmake -DCMAKE_INSTALL_PREFIX="$work/prefix" -P "$build/$part/cmake_install.cmake" >/dev/null
done
program="$work/prefix/bin/zephyra-sound-utility"
[ -x "$program" ] || { echo "the install put no $program"; exit 1; }

rm -rf "$shots"
mkdir -p "$work/road"
# The accessibility bus starts on demand on the private session bus; its socket
# goes below the runtime folder, which must be ours alone, or a second run on
# the machine would take it over.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
dbus-run-session -- xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" \
  "$python" "$here/typical_road.py" "$program" "$work/road" "$shots" 2>"$work/stderr" ||
  { status=$?; grep -v -e "Failed to set fd limit" "$work/stderr" || true; exit $status; }
