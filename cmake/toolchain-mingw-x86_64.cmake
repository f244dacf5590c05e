# 64-bit Windows: the same sources as the module file users install, built to
# measure and test the Windows path under 64-bit Wine, which runs at the
# machine's own speed where 32-bit code may need an emulator. Never shipped.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ROWFORK_MINGW x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)

# Tests of this build run under 64-bit Wine, in a prefix of the build's own.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run;--64;${CMAKE_BINARY_DIR}/wineprefix")
