#!/usr/bin/env bash
# The headless case of scripts/run, as it runs on a machine without a display: five starts in
# a row, each of which must leave a picture of the window at start-up and one after "RSS開始",
# neither of one colour, the second showing quotes the first did not, and nothing in the
# temporary folder.
# Usage: headless-runs.sh SOURCE_DIR NORVALE QUOTE_SERVER
set -euo pipefail
source=$1
run=$(mktemp -d)
trap 'rm -rf "$run"' EXIT
cp "$2" "$3" "$source/data/mei_code.txt" "$source/data/監視銘柄.txt" "$run/"
unset DISPLAY WAYLAND_DISPLAY XDG_RUNTIME_DIR DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM
mkdir "$run/tmp"
for n in 1 2 3 4 5; do
  rm -f "$run"/shot*.png
  TMPDIR=$run/tmp "$source/scripts/headless" "$run" "$run/shot.png" 2
  colours=$(identify -format %k "$run/shot-start.png")/$(identify -format %k "$run/shot.png")
  width=$(identify -format %w "$run/shot.png")
  changed=$(compare -metric AE "$run/shot-start.png" "$run/shot.png" null: 2>&1 || true)
  left=$(ls -A "$run/tmp")
  echo "run $n: $colours colours, $width px wide, $changed pixels changed by polling, left behind: '${left}'"
  [ "${colours%/*}" -gt 2 ] && [ "${colours#*/}" -gt 2 ] && [ "$width" -ge 972 ] && [ "${changed%% *}" -gt 1000 ] &&
    [ -z "$left" ]
done
