# Cross build for 64-bit Windows with mingw-w64 (POSIX thread model): a test
# target only, for machines that run no 32-bit programs. The host loads these
# plugins only as 32-bit DLLs; this build runs the same Windows code paths
# under 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)

# The 64-bit loader itself: /usr/bin/wine picks the 32-bit one whenever
# wine32 is installed, and that one cannot start where 32-bit programs don't run.
find_program(WINE_PROGRAM NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine NO_DEFAULT_PATH)
if(NOT WINE_PROGRAM)
  find_program(WINE_PROGRAM wine64)
endif()
if(WINE_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_PROGRAM})
endif()
