# The packages a trader downloads, made by CPack from the install rules (scripts/package): the portable
# folder as one folder Norvale/, in Norvale-VERSION-win64.zip from the Windows build and in
# norvale-VERSION-linux-x86_64.tar.gz from the Linux one, the programs stripped.
set(CPACK_PACKAGE_NAME Norvale)
set(CPACK_PACKAGE_VENDOR Norvale)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME Norvale-${PROJECT_VERSION}-win64)
else()
  set(CPACK_GENERATOR TGZ)
  string(TOLOWER "norvale-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" CPACK_PACKAGE_FILE_NAME)
endif()
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGING_INSTALL_PREFIX /Norvale)
set(CPACK_STRIP_FILES ON)
include(CPack)
