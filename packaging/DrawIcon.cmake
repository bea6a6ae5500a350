# cmake -DMAGICK=convert -DSOURCE=norvale-icon.mvg -DTO=folder -P DrawIcon.cmake: draws the icon at
# 256 px and makes from it norvale-SIZE.png for every size Windows asks for, and norvale.ico holding them
# all. Box averaging keeps the sizes the drawing's 16 px grid divides sharp; 24 px, which it does not
# divide and where a half-toned edge would blur a whole bar, is sampled instead.
cmake_minimum_required(VERSION 3.25)
file(READ "${SOURCE}" drawing)
set(sizes 16 24 32 48 64 128 256)
# magick: draws the drawing's text as it is (ImageMagick's policy refuses -draw @file).
function(magick)
  execute_process(COMMAND "${MAGICK}" ${ARGN} RESULT_VARIABLE failed ERROR_VARIABLE error)
  if(failed)
    message(FATAL_ERROR "${MAGICK} failed drawing the icon: ${error}")
  endif()
endfunction()
magick(-size 256x256 xc:none -draw "${drawing}" "png32:${TO}/norvale-256.png")
set(pngs)
foreach(size IN LISTS sizes)
  if(size EQUAL 24)
    magick("${TO}/norvale-256.png" -sample ${size}x${size} "png32:${TO}/norvale-${size}.png")
  elseif(NOT size EQUAL 256)
    magick("${TO}/norvale-256.png" -filter box -resize ${size}x${size} "png32:${TO}/norvale-${size}.png")
  endif()
  list(APPEND pngs "${TO}/norvale-${size}.png")
endforeach()
magick(${pngs} "${TO}/norvale.ico")
