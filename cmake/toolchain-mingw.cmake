# Windows with MinGW-w64 (posix threads model), for the target whose triple
# the including toolchain file names; the C and C++ runtimes are linked
# statically so the module imports only system DLLs and PLUGIN.dll.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${ROWFORK_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ROWFORK_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ROWFORK_MINGW}-windres)
set(CMAKE_DLLTOOL ${ROWFORK_MINGW}-dlltool)

set(CMAKE_FIND_ROOT_PATH /usr/${ROWFORK_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
