#!/usr/bin/env bash
# Writes the CP932 sample files of the file tests. Run from anywhere; the files are committed.
set -euo pipefail
cd "$(dirname "$0")"

# A master with a heading, a quoted comma, a leading zero, a duplicate code and names that
# only CP932 (not plain Shift_JIS) spells: ① and ～ and 髙.
master='ｺｰﾄﾞ,銘柄名,単位,市場
7203,トヨタ自動車,100,東証
6758,"ソニー,グループ",100,東証
8233,髙島屋,100,東証
1234,①テスト～商事,100,JASDAQ
07203,重複トヨタ,100,東証'

printf '%s\n' "$master" | sed 's/$/\r/' | iconv -f UTF-8 -t CP932 > master_crlf.txt
printf '%s\n' "$master" | tr '\n' '\r' | iconv -f UTF-8 -t CP932 > master_cr.txt
printf '%s\n' "$master" | iconv -f UTF-8 -t CP932 > master_lf.txt
# Cut inside the double-byte character ニ: its lead byte is the last byte of the file.
{ printf '7203,トヨタ自動車,100,東証\r\n6758,ソ' | iconv -f UTF-8 -t CP932
  printf 'ニ' | iconv -f UTF-8 -t CP932 | head -c 1; } > master_truncated.txt

# Watch lists naming the same three brands with each kind of line end, and with a UTF-8
# byte-order mark.
printf '7203\r\n6758,ソニー\r\n8233\r\n' | iconv -f UTF-8 -t CP932 > watch_crlf.txt
printf '7203\r6758,ソニー\r8233\r' | iconv -f UTF-8 -t CP932 > watch_cr.txt
printf '7203\n6758,ソニー\n8233' | iconv -f UTF-8 -t CP932 > watch_lf.txt
printf '\xEF\xBB\xBF7203\r\n6758,ソニー\r\n8233\r\n' > watch_bom.txt

# The golden table's odd inputs (UTF-8) are written by hand: numeric_odd_master.txt, numeric_odd_watch.txt
# (every way a number is written in a master or a watch list, and texts that look like codes with
# letters but are not) and numeric_index_master.txt (codes in every odd form for the master's index).
