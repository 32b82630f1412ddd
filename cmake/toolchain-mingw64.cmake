# x86_64-w64-mingw32 (posix threads): the Windows build that runs under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(NUVSKIN_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Tests and tools run through Wine; scripts/wine-exec supplies the prefix.
get_filename_component(_nuvskin_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${_nuvskin_root}/scripts/wine-exec)
