# Cross-compiles Norvale for 64-bit Windows with MinGW-w64 (POSIX threads), fully static.
# Use: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DNORVALE_GUI=OFF -DNORVALE_BENCH=OFF ...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(NORVALE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${NORVALE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NORVALE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${NORVALE_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${NORVALE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime: the executables run under Wine or on a bare Windows without MinGW DLLs beside them.
# The linker's default stack (2 MiB) is enough: the watch table keeps its entries on the heap.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# The DDEML lives in user32; targets that use it also name it themselves.
set(CMAKE_CXX_STANDARD_LIBRARIES_INIT "-luser32 -lkernel32")
