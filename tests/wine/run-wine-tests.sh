#!/usr/bin/env bash
# Runs the Windows build's tests under Wine, in a private prefix inside the build tree and on a private
# Xvfb display: the core tests, the platform tests (the real DDEML against the raw test server, files,
# CP932), the table's glyphs against the Qt glyphs (BUILD_DIR/qt-glyphs.txt, written by
# scripts/test-windows), Norvale's own window end to end against that server, the zip a trader
# downloads (unpacked into a folder with Japanese characters and spaces, norvale.exe and the tools run
# from there; a second norvale.exe ends while the first runs), and the probe against the server
# (answers, no server, a slow server, a server that dies and comes back). Ends every Wine process it
# started, and the display, also when it fails or is interrupted. Takes two and a half minutes on two
# idle cores (five when other builds share them), most of it in the window tests.
# Usage: run-wine-tests.sh BUILD_DIR   (a build made with cmake/mingw-w64.cmake)
# With NORVALE_WINE_BENCH=1 it also prints the requests per second of the DDE layer over the real
# DDEML against the raw test server, beside bare DDEML calls, and the table surface's redraw beside a
# full fill (figures, not tests).
# With NORVALE_WINE_SOAK=N (scripts/soak --wine) it runs no test but the Wine soak: N requests of the
# probe, one brand's items in turn, against one raw test server; none may be refused.
set -euo pipefail

build=$(cd "${1:?usage: run-wine-tests.sh BUILD_DIR}" && pwd)
export WINEPREFIX=$build/wine-prefix
export WINEARCH=win64
export WINEDEBUG=-all
# Code page 932 for the ANSI entry points, as on a Japanese Windows.
export LC_ALL=ja_JP.UTF-8
# No Mono or Gecko set-up (they would be fetched from the network), no menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
logs=$build/wine-logs
rm -rf "$logs"
mkdir -p "$logs" "$WINEPREFIX"

if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
  echo "the ja_JP.UTF-8 locale is missing (enable it in /etc/locale.gen and run locale-gen)" >&2
  exit 1
fi

server_exe=$build/tests/wine/rss_test_server.exe
probe_exe=$build/tools/norvale-probe.exe
tested=("$build/tests/norvale_core_tests.exe" "$build/tests/wine/norvale_wine_tests.exe")
if [ -n "${NORVALE_WINE_SOAK:-}" ]; then tested=(); fi
for exe in "${tested[@]}" "$server_exe" "$probe_exe"; do
  [ -f "$exe" ] || { echo "missing $exe: build the cross build first" >&2; exit 1; }
done

xvfb_pid=
stop_wine() {
  # Every process of this prefix, the server and wineserver included, then the display.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap stop_wine EXIT
trap 'exit 130' INT TERM

# A display of its own: Norvale's window is tested on it, and nothing else draws there.
exec 3>"$logs/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >"$logs/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 1 100); do [ -s "$logs/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$logs/display")"
echo "starting Wine in a prefix of its own on display $DISPLAY"

# wineserver and wineboot write to files: readers of a pipe they hold open would wait for ever.
# The server ends by itself a minute after its last client, should this script be killed outright.
boot() {
  wineserver -p60 >>"$logs/wineserver.log" 2>&1
  timeout 120 wine wineboot --init >>"$logs/wineboot.log" 2>&1
}
boot
# The X11 driver on the private display; Wine draws the window frames itself (no window manager), so
# screenshots show them; a crash ends the process instead of waiting in the debugger. A new prefix
# has started its desktop before these are set, so Wine starts again once they are.
if ! grep -qF '"Decorated"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  {
    timeout 60 wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f
    timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f
    timeout 60 wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f
  } >"$logs/reg.log" 2>&1
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  boot
fi
# The table's face, as on a Japanese Windows, drawn with the IPA gothic that Debian has.
if ! grep -qF '="IPAGothic"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  timeout 60 wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /d IPAGothic /f \
    >>"$logs/reg.log" 2>&1
  # Wine alone starts again; the display stays for the tests.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  boot
fi

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok: $1"; }
fail() { failed=$((failed + 1)); echo "FAILED: $1"; }

# Runs a Windows program with a time limit; its output goes to the named log.
run() {
  local log=$1
  shift
  timeout 300 wine "$@" >"$logs/$log" 2>&1
}

# gtest NAME DIR EXE ARGS...: a GoogleTest program, run in its own folder.
gtest() {
  local name=$1 dir=$2
  shift 2
  echo "running: $name"
  if (cd "$dir" && run "$name.log" "$@"); then
    pass "$name ($(grep -E '^\[  PASSED  \]' "$logs/$name.log" | sed 's/\[  PASSED  \] //'))"
  else
    fail "$name"
    grep -E 'Failure|FAILED|^(Expected|  Which| *Actual)|Unhandled' "$logs/$name.log" | head -40 || tail -20 "$logs/$name.log"
  fi
}

if [ -n "${NORVALE_WINE_SOAK:-}" ]; then
  rounds=$(( (NORVALE_WINE_SOAK + 21) / 22 ))  # the probe asks a brand's 22 items a round
  (cd "$build/tests/wine" && exec wine ./rss_test_server.exe --lifetime 86400 >"$logs/soak-server.log" 2>&1) &
  for _ in $(seq 1 400); do grep -q '^ready' "$logs/soak-server.log" 2>/dev/null && break; sleep 0.05; done
  started=$(date +%s)
  soak_rc=0
  wine "$probe_exe" --repeat "$rounds" --interval-ms 0 7203.t >"$logs/soak.log" 2>&1 || soak_rc=$?
  # A time-out now and then is the machine's load; a server that stops answering refuses every request.
  tr -d '\r' <"$logs/soak.log" | grep $'\tERROR\t' >"$logs/soak-errors.log" || true
  timeouts=$(grep -c DMLERR_DATAACKTIMEOUT "$logs/soak-errors.log" || true)
  refused=$(grep -vc DMLERR_DATAACKTIMEOUT "$logs/soak-errors.log" || true)
  echo "wine soak: $((rounds * 22)) requests to one server in $(( $(date +%s) - started )) s: $refused refused," \
    "$timeouts timed out (exit $soak_rc)"
  [ "$refused" -eq 0 ] && [ "$timeouts" -le $((rounds * 22 / 10000)) ]
  exit
fi

gtest core_tests "$build/tests" ./norvale_core_tests.exe
gtest wine_platform_tests "$build/tests/wine" ./norvale_wine_tests.exe
# The tables it draws stay in the logs (scripts/test-windows --screenshots makes them PNG files).
NORVALE_QT_GLYPHS=$build/qt-glyphs.txt NORVALE_SURFACE_SHOTS=$logs \
  gtest wine_glyph_tests "$build/tests/wine" ./norvale_wine_glyph_tests.exe
grep -h '^glyphs' "$logs/wine_glyph_tests.log" | tr -d '\r' | sed 's/^/    /'
# The window end to end; its screenshot of the table filled by the server is kept as a PNG.
shot=$logs/norvale-wine.ppm
NORVALE_WINE_SHOT=$(winepath -w "$shot" 2>/dev/null) gtest window_tests "$build/tests/wine" \
  ./norvale_wine_window_tests.exe
grep -h '^freeze:' "$logs/window_tests.log" | tr -d '\r' | sed 's/^/    /'
if [ -f "$shot" ]; then convert "$shot" "$logs/norvale-wine.png" && rm -f "$shot"; fi

server_pid=
start_server() {
  local log=$1
  shift
  wine "$server_exe" --lifetime 60 "$@" >"$logs/$log" 2>&1 &
  server_pid=$!
  for _ in $(seq 1 200); do
    grep -q '^ready' "$logs/$log" 2>/dev/null && return 0
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.05
  done
  echo "the raw test server did not start:" && cat "$logs/$log"
  return 1
}
stop_server() {
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
    server_pid=
  fi
}

# expect NAME LOG LINE...: every line is in the log, exactly.
expect() {
  local name=$1 log=$2
  shift 2
  local line
  # Windows programs end their lines with CR LF.
  tr -d '\r' <"$logs/$log" >"$logs/$log.lf"
  for line in "$@"; do
    if ! grep -qxF -- "$line" "$logs/$log.lf"; then
      fail "$name: no line '$line' in $log"
      sed 's/^/    /' "$logs/$log" | head -30
      return
    fi
  done
  pass "$name"
}

tab=$'\t'
pad512=$(printf '0123456789%.0s' $(seq 1 52) | cut -c1-512)

# The zip a trader downloads, made from this build as scripts/package makes it, unpacked into a new
# folder whose path has Japanese characters and spaces: one folder Norvale/ with the programs, the two
# files and the guide. norvale.exe is stripped and carries Norvale's icon, it and the tools their version
# resource (MinGW's windres reads them back), and the tools tell the version. Against the raw test server
# the probe from there gets its answer; norvale.exe, started from another folder, shows its window with
# the icon, a second start ends at once while it runs, "RSS開始" has it ask the server for the brands of
# the files beside it, and asked to close, it ends.
version=$(sed -nE 's/^set\(CPACK_PACKAGE_VERSION "(.*)"\)$/\1/p' "$build/CPackConfig.cmake")
(cd "$build" && cpack -G ZIP -B "$build/packages" >"$logs/cpack.log" 2>&1) || cat "$logs/cpack.log"
downloads="$build/取引 ツール/ダウンロード 済み"
rm -rf "$build/取引 ツール"
mkdir -p "$downloads"
unzip -q "$build/packages/Norvale-$version-win64.zip" -d "$downloads" || true
portable=$downloads/Norvale
unpacked=$(cd "$downloads" && find . | LC_ALL=C sort | tr '\n' ' ')
echo "    unpacked in $downloads: $unpacked"
resources() { x86_64-w64-mingw32-windres -i "$portable/$1" -O rc 2>&1 | tr -d '\r'; }
resources norvale.exe >"$logs/norvale-resources.rc"
sed -n '/^1 VERSIONINFO/,/^END/p' "$logs/norvale-resources.rc" | sed 's/^/    /'
# The group icon's entries "width height colors pad", the width in octal (0 is 256).
icon_sizes=$(sed -n '/RT_GROUP_ICON/,/^END/p' "$logs/norvale-resources.rc" | grep -oE '^ *"\\[0-7]{3}' |
  grep -oE '[0-7]{3}' | while read -r width; do echo $(( 8#$width == 0 ? 256 : 8#$width )); done | tr '\n' ' ')
echo "    norvale.exe's icon: $icon_sizes px"
described() {  # described EXE DESCRIPTION: the version resource names the product, the version and the program
  local rc
  rc=$(resources "$1")
  local line
  for line in "\"ProductName\", \"Norvale\"" "\"FileVersion\", \"$version\"" "\"ProductVersion\", \"$version\"" \
    "\"OriginalFilename\", \"$1\"" "\"FileDescription\", \"$2\""; do
    grep -qxF "      VALUE $line" <<<"$rc" || return 1
  done
}
version_said=$(wine "$portable/norvale-probe.exe" --version 2>&1 | tr -d '\r')/$(wine "$portable/norvale-master.exe" \
  --version </dev/null 2>&1 | tr -d '\r')
in_zip=". ./Norvale $(printf './Norvale/%s ' mei_code.txt norvale-master.exe norvale-probe.exe norvale.exe 使い方.txt 監視銘柄.txt)"
if [ "$unpacked" = "$in_zip" ] &&
   [ "$icon_sizes" = "16 24 32 48 64 128 256 " ] && described norvale.exe Norvale &&
   described norvale-probe.exe "Norvale probe: asks the quote server single items" &&
   described norvale-master.exe "Norvale brand master from the exchange's list" &&
   LC_ALL=C x86_64-w64-mingw32-nm "$portable/norvale.exe" 2>&1 | grep -q "no symbols" &&
   [ "$version_said" = "norvale-probe $version/norvale-master $version" ]; then
  pass "the zip: its folder, the icon, the version resources, stripped, --version"
else
  fail "the zip: folder '$unpacked', icon '$icon_sizes', --version '$version_said' (resources in $logs/norvale-resources.rc)"
fi

start_server server-zip.log --lifetime 20 --reply '現在値=2,345.5'
run probe-zip.log "$portable/norvale-probe.exe" 7203.t=現在値 || true
expect "the probe from the zip" probe-zip.log "7203.t${tab}現在値${tab}2,345.5"
windows() { xwininfo -root -tree 2>/dev/null | grep -F "\"Norvale - (ver$version)\"" || true; }
wine "$portable/norvale.exe" >"$logs/norvale.log" 2>&1 &
norvale_pid=$!
for _ in $(seq 1 300); do [ -n "$(windows)" ] && break; sleep 0.1; done
first=$(windows | wc -l)
second_rc=0
timeout 60 wine "$portable/norvale.exe" >"$logs/norvale-second.log" 2>&1 || second_rc=$?
after_second=$(windows | wc -l)
id=$(windows | awk '{print $1; exit}')
# The window's icon as X has it, a pixel 0xAARRGGBB: Norvale's opaque red and blue are in it.
# Without the window there is no icon to read: that is reported below, not an end of the run.
icon=$({ xprop -id "${id:-0}" -notype -f _NET_WM_ICON 32c ' $0+' _NET_WM_ICON 2>/dev/null || true; } | tr -d ' ' | tr ',' '\n')
window_icon=no
if grep -qx "$((0xffff0000))" <<<"$icon" && grep -qx "$((0xff0000ff))" <<<"$icon"; then window_icon=yes; fi
# "RSS開始", the second item of the menu bar under the caption Wine draws, clicked in its middle.
xdotool mousemove --window "${id:-0}" 67 32 click 1 >/dev/null 2>&1 || true
timeout 30 tail --pid="$server_pid" -f /dev/null || true
served=$(tr -d '\r' <"$logs/server-zip.log" | sed -n 's/^served //p')
stop_server
timeout 30 wine taskkill /im norvale.exe >"$logs/taskkill.log" 2>&1 || true
closed=no
if timeout 30 tail --pid="$norvale_pid" -f /dev/null; then closed=yes; fi
# Every answer but the probe's went to norvale.exe, which asks only for the brands of its watch list.
if [ "$first" = 1 ] && [ "$second_rc" = 0 ] && [ "$after_second" = 1 ] && [ "$window_icon" = yes ] &&
   [ "${served:-0}" -gt 1 ] && [ "$closed" = yes ]; then
  pass "norvale.exe from the zip ($((served - 1)) answers from the server)"
else
  fail "norvale.exe from the zip: windows $first, second start $second_rc then $after_second windows, icon $window_icon, served '${served}', closed $closed"
fi

# norvale-master.exe from the zip, given a list as a dropped file gives it: its path the one argument.
# Without console input it does not wait for a key.
printf 'コード,銘柄名,市場・商品区分\r\n7203,トヨタ自動車,プライム（内国株式）\r\n130A,"新規,上場",グロース\r\n' |
  iconv -f UTF-8 -t CP932 >"$portable/一覧.csv"
master_rc=0
run master.log "$portable/norvale-master.exe" "$(winepath -w "$portable/一覧.csv")" </dev/null || master_rc=$?
written=$(iconv -f CP932 -t UTF-8 "$portable/mei_code.txt" | tr -d '\r')
if [ "$master_rc" = 0 ] && grep -q 'mei_code.txt に 2 銘柄を書き出しました。' "$logs/master.log" &&
   [ "$written" = "$(printf '7203,トヨタ自動車,100,東証\n130A,"新規,上場",100,東証')" ]; then
  pass "norvale-master.exe from the zip"
else
  fail "norvale-master.exe from the zip: exit $master_rc, wrote '$written'"
  sed 's/^/    /' "$logs/master.log"
fi


# Answers, in CP932 both ways: the probe's own item names (現在値, 最良売気配数量１ ...), values given
# to the server, empty and blank values, and a value cut to 512 bytes.
start_server server-answers.log --reply '現在値=2,345.5' --reply '最良売気配数量１=1,200' --reply '始値= ' \
  --reply '高値=ソニーＧ'
run probe-answers.log "$probe_exe" 7203.t 6758.t=EMPTY,BLANK,LEN:600 || true
expect "probe answers" probe-answers.log \
  "7203.t${tab}現在値${tab}2,345.5" "7203.t${tab}最良売気配数量１${tab}1,200" "7203.t${tab}始値${tab} " \
  "7203.t${tab}高値${tab}ソニーＧ" "7203.t${tab}最良買気配数量８${tab}7203.t 最良買気配数量８" \
  "6758.t${tab}EMPTY${tab}" "6758.t${tab}BLANK${tab} " "6758.t${tab}LEN:600${tab}$pad512"
stop_server

# No server: the connect fails, and so does every request of the brand.
if run probe-no-server.log "$probe_exe" 7203.t=A,B 6758.t=A; then fail "probe without a server exits 0"; fi
expect "probe without a server" probe-no-server.log \
  "7203.t${tab}A${tab}ERROR${tab}DMLERR_NO_CONV_ESTABLISHED クライアントが対話を確立しようとして失敗しました。" \
  "6758.t${tab}A${tab}ERROR${tab}DMLERR_NO_CONV_ESTABLISHED クライアントが対話を確立しようとして失敗しました。"

# A server slower than the 500 ms limit.
start_server server-slow.log --latency 800 --latency-item SLOW
started=$(date +%s%N)
run probe-slow.log "$probe_exe" 7203.t=SLOW || true
slow_ms=$(( ($(date +%s%N) - started) / 1000000 ))
expect "probe with a slow server (${slow_ms} ms for the whole probe)" probe-slow.log \
  "7203.t${tab}SLOW${tab}ERROR${tab}DMLERR_DATAACKTIMEOUT 同期データトランザクションの要求がタイムアウトになりました。"
stop_server

# wait_lines LOG N: until the log has N lines (at most 20 s).
wait_lines() {
  for _ in $(seq 1 400); do
    # stderr first: the log may not be there yet, and the shell would say so.
    [ "$(wc -l 2>/dev/null <"$logs/$1" || echo 0)" -ge "$2" ] && return 0
    sleep 0.05
  done
  return 1
}
kill_server() {
  kill -KILL "$server_pid" 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
  server_pid=
}

# A server killed while the conversation is open: the next request of that conversation fails.
# Then a new server: what the same brand gets is recorded, not judged here.
start_server server-killed.log
wine "$probe_exe" --repeat 3 --interval-ms 2500 7203.t=A >"$logs/probe-killed.log" 2>&1 &
probe_pid=$!
wait_lines probe-killed.log 1 || true
kill_server
wait_lines probe-killed.log 2 || true
start_server server-after-kill.log
timeout 60 tail --pid="$probe_pid" -f /dev/null || true
wait "$probe_pid" 2>/dev/null || true
expect "probe with a killed server" probe-killed.log \
  "7203.t${tab}A${tab}7203.t A" \
  "7203.t${tab}A${tab}ERROR${tab}DMLERR_POSTMSG_FAILED PostMessage 関数の内部呼び出しに失敗しました。"
tr -d '\r' <"$logs/probe-killed.log" | sed -n 3p | sed 's/^/    the same brand from a new server: /'
stop_server

# A killed and restarted server is reached again when the brand changes.
start_server server-first.log
wine "$probe_exe" --repeat 2 --interval-ms 2500 7203.t=A 6758.t=A >"$logs/probe-restart.log" 2>&1 &
probe_pid=$!
wait_lines probe-restart.log 2 || true
kill_server
start_server server-second.log
timeout 60 tail --pid="$probe_pid" -f /dev/null || true
wait "$probe_pid" 2>/dev/null || true
if [ "$(tr -d '\r' <"$logs/probe-restart.log" | grep -cxF -e "7203.t${tab}A${tab}7203.t A" -e "6758.t${tab}A${tab}6758.t A")" -eq 4 ]; then
  pass "probe with a restarted server"
else
  fail "probe with a restarted server"
  sed 's/^/    /' "$logs/probe-restart.log"
fi
stop_server

if [ "${NORVALE_WINE_BENCH:-0}" = 1 ]; then
  (cd "$build/tests/wine" && timeout 300 wine ./norvale_wine_bench.exe >"$logs/bench.log" 2>&1) || true
  tr -d '\r' <"$logs/bench.log"
  (cd "$build/tests/wine" && timeout 900 wine ./norvale_wine_pass_bench.exe >"$logs/bench-pass.log" 2>&1) || true
  tr -d '\r' <"$logs/bench-pass.log"
  (cd "$build/tests/wine" && timeout 300 wine ./norvale_wine_surface_bench.exe >"$logs/surface-bench.log" 2>&1) || true
  tr -d '\r' <"$logs/surface-bench.log"
fi

echo "wine: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
