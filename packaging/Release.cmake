# What a release needs that the build makes from text in the repository: the version header, the icon
# and the trader's guide; and the version resource of each Windows program.

# The version, from project() alone: the window's caption, the tools' --version, the version resources.
configure_file(${CMAKE_CURRENT_LIST_DIR}/NorvaleVersion.h.in ${PROJECT_BINARY_DIR}/generated/NorvaleVersion.h @ONLY)
add_library(norvale_version INTERFACE)
target_include_directories(norvale_version INTERFACE ${PROJECT_BINARY_DIR}/generated)

# The icon, drawn from norvale-icon.mvg with ImageMagick (on Windows its program is magick; convert
# there is a system program of another kind): norvale.ico for the Windows programs, the PNGs for Qt.
if(CMAKE_HOST_WIN32)
  find_program(NORVALE_MAGICK magick)
else()
  find_program(NORVALE_MAGICK NAMES convert magick)
endif()
if(NOT NORVALE_MAGICK)
  message(FATAL_ERROR "ImageMagick draws Norvale's icon: install it (Debian: imagemagick, scripts/install-deps)")
endif()
set(NORVALE_ICON_DIR ${PROJECT_BINARY_DIR}/icon)
set(NORVALE_ICON_SIZES 16 24 32 48 64 128 256)
set(NORVALE_ICON_PNGS)
foreach(size IN LISTS NORVALE_ICON_SIZES)
  list(APPEND NORVALE_ICON_PNGS ${NORVALE_ICON_DIR}/norvale-${size}.png)
endforeach()
add_custom_command(OUTPUT ${NORVALE_ICON_DIR}/norvale.ico ${NORVALE_ICON_PNGS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${NORVALE_ICON_DIR}
  COMMAND ${CMAKE_COMMAND} -DMAGICK=${NORVALE_MAGICK} -DSOURCE=${CMAKE_CURRENT_LIST_DIR}/norvale-icon.mvg
          -DTO=${NORVALE_ICON_DIR} -P ${CMAKE_CURRENT_LIST_DIR}/DrawIcon.cmake
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/norvale-icon.mvg ${CMAKE_CURRENT_LIST_DIR}/DrawIcon.cmake
  COMMENT "Drawing Norvale's icon" VERBATIM)
add_custom_target(norvale_icon DEPENDS ${NORVALE_ICON_DIR}/norvale.ico)

# The trader's guide beside the program, made from the README at every build.
set(NORVALE_GUIDE ${PROJECT_BINARY_DIR}/使い方.txt)
add_custom_command(OUTPUT ${NORVALE_GUIDE}
  COMMAND ${CMAKE_COMMAND} -DREADME=${PROJECT_SOURCE_DIR}/README.md -DVERSION=${PROJECT_VERSION}
          -DOUTPUT=${NORVALE_GUIDE} -P ${CMAKE_CURRENT_LIST_DIR}/TradersGuide.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/README.md ${CMAKE_CURRENT_LIST_DIR}/TradersGuide.cmake
  COMMENT "Making the trader's guide from the README" VERBATIM)
add_custom_target(norvale_guide ALL DEPENDS ${NORVALE_GUIDE})

# norvale_version_resource(TARGET DESCRIPTION): the version resource of a Windows program, which its
# file properties show: the product, the version and what the program is.
function(norvale_version_resource target description)
  set(NORVALE_TARGET ${target})
  set(NORVALE_FILE_NAME ${target}.exe)
  set(NORVALE_FILE_DESCRIPTION "${description}")
  set(numbers)
  foreach(part MAJOR MINOR PATCH TWEAK)
    if("${PROJECT_VERSION_${part}}" STREQUAL "")
      list(APPEND numbers 0)
    else()
      math(EXPR number "${PROJECT_VERSION_${part}}")  # 02 is 2, not an octal number to the resource compiler
      list(APPEND numbers ${number})
    endif()
  endforeach()
  string(REPLACE ";" "," NORVALE_VERSION_COMMAS "${numbers}")
  set(rc ${PROJECT_BINARY_DIR}/generated/${target}-version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/VersionInfo.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
