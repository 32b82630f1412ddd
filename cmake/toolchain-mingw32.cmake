# i686-w64-mingw32 (posix threads): built to keep the code honest about
# pointer sizes; 32-bit Wine cannot run on these machines, so nothing runs.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(NUVSKIN_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
