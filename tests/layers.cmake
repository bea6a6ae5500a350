# Fails on any include that runs against the layers: table and platform at the bottom, knowing
# nothing of each other; quotes, ranking and watchlist over them, none knowing another; app on
# top. The table raster sits on platform beside the core, which does not know it. Run with cmake -P.
cmake_minimum_required(VERSION 3.25)
set(allowed_platform platform)
set(allowed_table table)
set(allowed_raster platform raster)
set(allowed_quotes platform table quotes)
set(allowed_ranking platform table ranking)
set(allowed_watchlist platform table watchlist)
set(allowed_app platform table quotes ranking watchlist app)

file(GLOB files RELATIVE ${CMAKE_CURRENT_LIST_DIR}/..
  ${CMAKE_CURRENT_LIST_DIR}/../platform/*.h ${CMAKE_CURRENT_LIST_DIR}/../table/* ${CMAKE_CURRENT_LIST_DIR}/../raster/*
  ${CMAKE_CURRENT_LIST_DIR}/../quotes/* ${CMAKE_CURRENT_LIST_DIR}/../ranking/*
  ${CMAKE_CURRENT_LIST_DIR}/../watchlist/* ${CMAKE_CURRENT_LIST_DIR}/../app/*)
set(violations 0)
foreach(file IN LISTS files)
  string(REGEX MATCH "^[^/]+" layer "${file}")
  file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../${file} lines)
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*[\"<]([a-z0-9_]+)/")
      set(target "${CMAKE_MATCH_1}")
      if(target MATCHES "^(platform|table|raster|quotes|ranking|watchlist|app)$" AND NOT target IN_LIST allowed_${layer})
        message(SEND_ERROR "${file}:${number}: ${layer}/ may not include ${target}/: ${line}")
        math(EXPR violations "${violations} + 1")
      endif()
    endif()
  endforeach()
endforeach()
if(violations GREATER 0)
  message(FATAL_ERROR "${violations} include(s) against the layers")
endif()
