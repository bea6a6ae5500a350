#!/usr/bin/env bash
# The Linux package as a trader uses it: unpacked into a new folder whose path has Japanese characters
# and spaces, it holds the portable folder Norvale/ and the guide (UTF-8 with a byte-order mark, CR LF);
# the tools tell the package's version; the probe gets a price from the stand-in quote server; and
# norvale-demo, started under Xvfb, shows the window with Norvale's icon, and after a click on "RSS開始"
# a table the server filled. Prints one line a check and "linux archive: N passed, M failed".
# Usage: linux-archive.sh norvale-VERSION-linux-x86_64.tar.gz
set -uo pipefail
archive=$(realpath "$1")
version=$(basename "$archive" | sed -E 's/^norvale-(.*)-linux-[^-]*\.tar\.gz$/\1/')

source "$(dirname "$0")/xvfb.sh"
under_xvfb 1280x800 "$0" "$@"

passed=0
failed=0
check() {  # check NAME COMMAND...: one check, passed when the command succeeds
  local name=$1
  shift
  if "$@"; then passed=$((passed + 1)); echo "ok: $name"; else failed=$((failed + 1)); echo "FAILED: $name"; fi
}

place="$INSIDE_XVFB/取引 ツール/ダウンロード 済み"
mkdir -p "$place"
tar -xzf "$archive" -C "$place"
dir=$place/Norvale
listed=$(cd "$place" && find . | LC_ALL=C sort | tr '\n' ' ')
echo "unpacked in $place: $listed"
check "one folder Norvale/ with the programs, the demo, the two files and the guide" test "$listed" = \
  ". ./Norvale ./Norvale/mei_code.txt ./Norvale/norvale ./Norvale/norvale-demo ./Norvale/norvale-master ./Norvale/norvale-probe ./Norvale/norvale-quote-server ./Norvale/使い方.txt ./Norvale/監視銘柄.txt "
guide_reads_on_windows() {
  local guide=$dir/使い方.txt
  [ "$(head -c 3 "$guide" | od -An -tx1 | tr -d ' ')" = efbbbf ] &&
    [ "$(grep -c $'\r$' "$guide")" = "$(wc -l <"$guide")" ] &&
    grep -q 'ダウンロードと起動' "$guide" && grep -q 'Download and start' "$guide"
}
check "the guide: a byte-order mark, CR LF, the download section in both languages" guide_reads_on_windows
for tool in norvale-probe norvale-master norvale-quote-server; do
  said=$("$dir/$tool" --version 2>&1)
  check "$tool --version says '$said'" test "$said" = "$tool $version"
done

# The probe beside the stand-in server, on a session bus of their own.
asked=$(dbus-run-session -- sh -c '
  "$1/norvale-quote-server" --master "$1/mei_code.txt" >/dev/null &
  for _ in $(seq 50); do said=$("$1/norvale-probe" 7203.t=現在値 2>&1) && break; sleep 0.1; done
  echo "$said"
  kill $!' probe "$dir" 2>/dev/null)
echo "    $asked"
check "the probe gets a price" grep -qE $'^7203\\.t\t現在値\t[0-9,.]+$' <<<"$asked"

# The demo launcher: its window, its icon, and the table after "RSS開始".
"$dir/norvale-demo" >"$INSIDE_XVFB/demo.log" 2>&1 &
demo=$!
window_id() { xwininfo -root -tree | awk '/"Norvale - \(ver'"$version"'\)"/ {print $1; exit}'; }
viewable() { local id; id=$(window_id) && [ -n "$id" ] && xwininfo -id "$id" | grep -q IsViewable; }
check "norvale-demo shows Norvale's window" xwait 60 viewable
id=$(window_id)
# The window's icon as X has it, a pixel 0xAARRGGBB: Norvale's opaque red and blue are in it.
icon=$(xprop -id "$id" -notype -f _NET_WM_ICON 32c ' $0+' _NET_WM_ICON | tr -d ' ' | tr ',' '\n')
has_icon() { grep -qx "$((0xffff0000))" <<<"$icon" && grep -qx "$((0xff0000ff))" <<<"$icon"; }
check "the window has Norvale's icon" has_icon
sleep 1
import -window "$id" "$INSIDE_XVFB/start.png"
# "RSS開始", the second item of the menu bar, clicked in its middle.
xdotool mousemove --window "$id" 69 9 click 1
sleep 3
import -window "$id" "$INSIDE_XVFB/polling.png"
changed=$(compare -metric AE "$INSIDE_XVFB/start.png" "$INSIDE_XVFB/polling.png" null: 2>&1 || true)
check "the server's quotes fill the table ($changed pixels changed)" test "${changed%% *}" -gt 1000
# Norvale ends, and with it the demo and its server.
kill "$(xdotool getwindowpid "$id")"
check "the demo ends with Norvale" timeout 10 tail --pid="$demo" -f /dev/null

echo "linux archive: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
