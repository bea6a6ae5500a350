#!/usr/bin/env bash
# Norvale on an X display of WIDTHxHEIGHT with a window manager: the window's outer frame, as
# the X server has it, must sit where start-up places it (centred, then kept on the screen with
# the right and bottom edges last), within one pixel.
# Usage: placement.sh NORVALE WIDTHxHEIGHT
set -euo pipefail
norvale=$1
size=$2
source "$(dirname "$0")/xvfb.sh"
under_xvfb "$size" "$0" "$@"

openbox >/dev/null 2>&1 &
wm=$!
xwait 30 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
"$norvale" 2>/dev/null &
app=$!
trap 'kill $app $wm 2>/dev/null; wait 2>/dev/null' EXIT

window_id() { xwininfo -root -tree | awk '!found && /"Norvale - \(ver1.02\)"/ {print $1; found = 1}'; }
viewable() { local id; id=$(window_id) && [ -n "$id" ] && xwininfo -id "$id" | grep -q 'IsViewable'; }
xwait 60 viewable
root=$(xwininfo -root | awk '/Window id:/ {print $4}')
# The frame is the window manager's window that holds Norvale's, right under the root.
frame=$(window_id)
while parent=$(xwininfo -children -id "$frame" | awk '/Parent window id:/ {print $4}') && [ "$parent" != "$root" ]; do
  frame=$parent
done

# Start-up places the window once the frame is known; give it that moment, then measure.
check() {
  xwininfo -id "$frame" | awk -v size="$size" '
    /Absolute upper-left X:/ {x = $4} /Absolute upper-left Y:/ {y = $4}
    /Width:/ {w = $2} /Height:/ {h = $2}
    END {
      split(size, s, "x")
      left = (s[1] - w) / 2; top = (s[2] - h) / 2
      if (left < 0) left = 0; if (top < 0) top = 0
      if (left + w > s[1]) left = s[1] - w; if (top + h > s[2]) top = s[2] - h
      printf "screen %s: frame %dx%d at %d,%d; expected at %.1f,%.1f\n", size, w, h, x, y, left, top
      exit ((x - left) ^ 2 > 1 || (y - top) ^ 2 > 1)
    }'
}
for try in $(seq 20); do
  check >/dev/null && break
  sleep 0.1
done
check
