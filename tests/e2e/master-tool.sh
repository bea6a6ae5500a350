#!/usr/bin/env bash
# norvale-master as a trader runs it: a list saved by Excel (CP932) becomes mei_code.txt beside the
# program; then, its folder made immutable (root ignores permission bits), it writes nothing, says
# so and exits 1, the old master byte for byte as it was.
# Usage: master-tool.sh NORVALE_MASTER
set -euo pipefail
run=$(mktemp -d)
trap 'chattr -i "$run" 2>/dev/null || true; rm -rf "$run"' EXIT
cp "$1" "$run/"
printf 'コード,銘柄名,市場・商品区分\r\n7203,トヨタ自動車,プライム（内国株式）\r\n130A,"新規,上場",グロース（内国株式）\r\n' |
  iconv -f UTF-8 -t CP932 >"$run/list.csv"
said=$("$run/norvale-master" "$run/list.csv")
echo "$said"
[ "$said" = "$run/mei_code.txt に 2 銘柄を書き出しました。" ]
[ "$(iconv -f CP932 -t UTF-8 "$run/mei_code.txt")" = "$(printf '7203,トヨタ自動車,100,東証\r\n130A,"新規,上場",100,東証\r')" ]

cp "$run/mei_code.txt" "$run/../norvale-master-before.$$"
trap 'chattr -i "$run" 2>/dev/null || true; rm -rf "$run" "$run/../norvale-master-before.$$"' EXIT
if ! chattr +i "$run" 2>/dev/null; then
  echo "no immutable folders on this file system: the read-only folder is left to the unit test"
  exit 0
fi
status=0
said=$("$run/norvale-master" "$run/list.csv" 2>&1) || status=$?
chattr -i "$run"
echo "$said"
[ "$status" = 1 ] && [[ "$said" == *"に書き込めません"* ]] && cmp "$run/../norvale-master-before.$$" "$run/mei_code.txt"
