# cmake -DFROM=folder -DTO=folder -DFILES=a|b -P CopyIfMissing.cmake: copies each file that TO lacks,
# so that a file edited or replaced there (a trader's own watch list or master) is never overwritten.
string(REPLACE "|" ";" names "${FILES}")
foreach(name IN LISTS names)
  if(NOT EXISTS "${TO}/${name}")
    file(COPY_FILE "${FROM}/${name}" "${TO}/${name}")
  endif()
endforeach()
