# Cross build for 32-bit Windows with mingw-w64 (POSIX thread model).
# Programs and plugins carry their C/C++ runtime and thread library statically;
# tests run under Wine through the crosscompiling emulator.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)

# Tests run under Wine's 32-bit loader. The build itself needs no Wine, so a
# machine without it still builds and runs the checks that execute nothing.
find_program(WINE_PROGRAM wine)
if(WINE_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_PROGRAM})
endif()
