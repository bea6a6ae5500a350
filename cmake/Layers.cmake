# The floors of the house and what each folder may include, its own folder counted. The build keeps
# them (norvale_layer: an include that runs up or sideways does not compile); tests/layers.cmake reads
# the same table for what the compiler cannot see, a relative include such as "../app/…".
#
# "platform" is the interfaces the core calls (platform/*.h); each platform/ sub-folder is one service
# beneath them. Bottom to top: table/ and platform/, knowing nothing of each other; quotes/, ranking/
# and watchlist/ over them, none knowing another; app/ over those; raster/ on platform/ alone; the
# front ends at the top. The fakes stand on platform/ alone; each tool on what it uses.
set(NORVALE_LAYERS
  platform platform/posix platform/win32 platform/dbus platform/qt
  table quotes ranking watchlist app raster
  frontend/qt frontend/win32
  tests/fakes
  tools/probe tools/quote-server tools/master tools/soak tools/screenshots tools/dde-test-server)

set(norvale_core_floors platform table quotes ranking watchlist app)
set(norvale_sees_platform platform)
set(norvale_sees_platform/posix platform platform/posix)
set(norvale_sees_platform/win32 platform platform/win32)
set(norvale_sees_platform/dbus platform platform/dbus)
set(norvale_sees_platform/qt platform platform/qt)
set(norvale_sees_table table)
set(norvale_sees_quotes platform table quotes)
set(norvale_sees_ranking platform table ranking)
set(norvale_sees_watchlist platform table watchlist)
set(norvale_sees_app ${norvale_core_floors})
set(norvale_sees_raster platform raster)
set(norvale_sees_frontend/qt ${norvale_core_floors} raster platform/qt frontend/qt)
set(norvale_sees_frontend/win32 ${norvale_core_floors} raster platform/win32 frontend/win32)
set(norvale_sees_tests/fakes platform tests/fakes)
set(norvale_sees_tools/probe platform table quotes tools/probe)
set(norvale_sees_tools/quote-server platform platform/dbus table quotes watchlist tools/quote-server)
set(norvale_sees_tools/master ${norvale_core_floors} platform/qt platform/win32 tools/master)
set(norvale_sees_tools/soak ${norvale_core_floors} tests/fakes tools/soak)
set(norvale_sees_tools/screenshots ${norvale_core_floors} raster platform/qt frontend/qt tests/fakes tools/screenshots)
set(norvale_sees_tools/dde-test-server tools/dde-test-server)

# The include root of a floor, in the build tree: links to the folders it may include and to nothing
# else, made afresh at every configure. A folder with floors inside it (platform/) is linked header by
# header, so that its sub-folders stay out. Where the file system makes no links (Windows without the
# right to), the root is the repository's and only tests/layers.cmake keeps the floors.
function(norvale_include_root out layer)
  if(NOT DEFINED norvale_sees_${layer})
    message(FATAL_ERROR "${layer}/ is on no floor: give it its line in cmake/Layers.cmake")
  endif()
  string(REPLACE "/" "-" name "${layer}")
  set(root ${PROJECT_BINARY_DIR}/layers/${name})
  get_property(made GLOBAL PROPERTY norvale_root_${name})
  if(made)
    set(${out} ${made} PARENT_SCOPE)
    return()
  endif()
  file(REMOVE_RECURSE ${root})
  set(result ${root})
  foreach(folder IN LISTS norvale_sees_${layer})
    file(GLOB inside LIST_DIRECTORIES true ${PROJECT_SOURCE_DIR}/${folder}/*)
    set(floors_inside FALSE)
    foreach(entry IN LISTS inside)
      if(IS_DIRECTORY ${entry})
        set(floors_inside TRUE)
      endif()
    endforeach()
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    if(floors_inside)
      file(MAKE_DIRECTORY ${root}/${folder})
      file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
      set(links)
      foreach(header IN LISTS headers)
        get_filename_component(file ${header} NAME)
        list(APPEND links "${header}|${root}/${folder}/${file}")
      endforeach()
    else()
      set(links "${PROJECT_SOURCE_DIR}/${folder}|${root}/${folder}")
    endif()
    foreach(link IN LISTS links)
      string(REPLACE "|" ";" ends "${link}")
      list(GET ends 0 from)
      list(GET ends 1 to)
      file(CREATE_LINK ${from} ${to} SYMBOLIC RESULT failed)
      if(failed)
        message(WARNING "No links in ${PROJECT_BINARY_DIR} (${failed}): the compiler does not keep the floors here")
        set(result ${PROJECT_SOURCE_DIR})
        break()
      endif()
    endforeach()
  endforeach()
  set_property(GLOBAL PROPERTY norvale_root_${name} ${result})
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# norvale_layer(TARGET LAYER [SHOWS LAYER2] [CHECK_HEADERS]): TARGET compiles against the include root
# of LAYER, and what links it against the root of LAYER2 (LAYER unless given: a library whose sources
# sit in a service folder but which stands for the interfaces). With CHECK_HEADERS each header of
# LAYER2's folder is compiled too, under that root: a header that only a higher floor includes
# cannot hide an include that runs up.
function(norvale_layer target layer)
  cmake_parse_arguments(arg "CHECK_HEADERS" "SHOWS" "" ${ARGN})
  if(NOT arg_SHOWS)
    set(arg_SHOWS ${layer})
  endif()
  norvale_include_root(own ${layer})
  norvale_include_root(shown ${arg_SHOWS})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${shown})
  elseif(own STREQUAL shown)
    target_include_directories(${target} PUBLIC ${own})
  else()
    target_include_directories(${target} PRIVATE ${own} INTERFACE ${shown})
  endif()
  if(arg_CHECK_HEADERS AND NORVALE_TESTS)
    file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/${arg_SHOWS}/*.h)
    set(content "// Every header of ${arg_SHOWS}/, compiled under its floor's include root.\n")
    foreach(header IN LISTS headers)
      string(APPEND content "#include \"${header}\"\n")
    endforeach()
    string(REPLACE "/" "-" name "${arg_SHOWS}")
    set(check ${PROJECT_BINARY_DIR}/layers/${name}-headers.cpp)
    file(CONFIGURE OUTPUT ${check} CONTENT "${content}" @ONLY)
    add_library(${target}_headers OBJECT ${check})
    target_link_libraries(${target}_headers PRIVATE ${target})
  endif()
endfunction()
