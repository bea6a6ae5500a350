# cmake -DREADME=README.md -DVERSION=1.02 -DOUTPUT=使い方.txt -P TradersGuide.cmake: the trader's guide
# that the packages carry beside the program, made from the README's trader sections (Japanese first,
# then English) at every build, so that it says what the README says. UTF-8 with a byte-order mark and
# CR LF, which Notepad opens with a double click on any Windows; the Markdown marks that plain text does
# not need are dropped, the headings set off.
cmake_minimum_required(VERSION 3.25)
file(READ "${README}" readme)
set(japanese "\n## 使い方（トレーダーの方へ）\n")
set(english "\n## Using Norvale (English)\n")
string(FIND "${readme}" "${japanese}" from)
string(FIND "${readme}" "${english}" english_at)
if(from LESS 0 OR english_at LESS from)
  message(FATAL_ERROR "${README}: no trader sections ('${japanese}' then '${english}') for the guide")
endif()
string(SUBSTRING "${readme}" ${english_at} -1 rest)
string(LENGTH "${english}" skip)
string(SUBSTRING "${rest}" ${skip} -1 rest)
string(FIND "${rest}" "\n## " end)
math(EXPR length "${english_at} + ${skip} + ${end} - ${from}")
if(end LESS 0)
  string(SUBSTRING "${readme}" ${from} -1 guide)
else()
  string(SUBSTRING "${readme}" ${from} ${length} guide)
endif()

# The packages' names and the caption in the guide carry this version: a version changed in
# CMakeLists.txt alone stops the build here rather than ship a guide that names other files.
string(REPLACE "." "\\." version_pattern "${VERSION}")
string(REGEX MATCHALL "[Nn]orvale-[0-9.]+-(win64\\.zip|linux-x86_64\\.tar\\.gz)|\\(ver[0-9.]+\\)" named "${guide}")
foreach(name IN LISTS named)
  if(NOT name MATCHES "^([Nn]orvale-${version_pattern}-|\\(ver${version_pattern}\\)$)")
    message(FATAL_ERROR "${README} names ${name}, but the version is ${VERSION}")
  endif()
endforeach()

string(REGEX REPLACE "\n## ([^\n]*)" "\n【\\1】" guide "${guide}")
string(REGEX REPLACE "\n### ([^\n]*)" "\n■ \\1" guide "${guide}")
# A table of two columns: its heading and rule dropped, each row "・cell：cell".
string(REGEX REPLACE "\n\\|[^\n]*\\|\n\\|[-|]+\\|\n" "\n" guide "${guide}")
string(REGEX REPLACE "\n\\| ([^|\n]*) \\| ([^|\n]*) \\|" "\n・\\1：\\2" guide "${guide}")
string(REPLACE "**" "" guide "${guide}")
string(REPLACE "`" "" guide "${guide}")
string(STRIP "${guide}" guide)
set(guide "Norvale ${VERSION}\n\n${guide}\n")
string(REPLACE "\n" "\r\n" guide "${guide}")
string(ASCII 239 187 191 bom)
file(WRITE "${OUTPUT}" "${bom}${guide}")
