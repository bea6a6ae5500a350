#!/usr/bin/env bash
# The headless case of scripts/run, as it runs on a machine without a display: five starts in
# a row, each of which must leave a picture of the window, not of one colour.
# Usage: headless-runs.sh SOURCE_DIR NORVALE QUOTE_SERVER
set -euo pipefail
source=$1
run=$(mktemp -d)
trap 'rm -rf "$run"' EXIT
cp "$2" "$3" "$source/data/mei_code.txt" "$source/data/監視銘柄.txt" "$run/"
unset DISPLAY WAYLAND_DISPLAY XDG_RUNTIME_DIR DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM
for n in 1 2 3 4 5; do
  rm -f "$run/shot.png"
  "$source/scripts/headless" "$run" "$run/shot.png" 1
  colours=$(identify -format %k "$run/shot.png")
  width=$(identify -format %w "$run/shot.png")
  echo "run $n: $colours colours, $width px wide"
  [ "$colours" -gt 2 ] && [ "$width" -ge 972 ]
done
