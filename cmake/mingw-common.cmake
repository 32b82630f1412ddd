# Shared part of the mingw-w64 toolchain files. The including file sets
# NUVSKIN_MINGW_TRIPLE before including this one.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${NUVSKIN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NUVSKIN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${NUVSKIN_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${NUVSKIN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# Without -static a program needs libwinpthread/libstdc++ DLLs, and under
# WINEDEBUG=-all a missing DLL is a silent exit code 53.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
