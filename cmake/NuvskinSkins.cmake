# Skins at build time: nuvskin_pack_skin packs a skin source folder into an
# .nsk container with nsktool; nuvskin_embed_file turns a file into a C++
# source that returns its bytes.
#
# nsktool has to run on the build host. A native build uses its own nsktool
# target; a cross build (the Windows presets) configures this repository a
# second time natively, without the toolchain file, and builds only nsktool.

set(NUVSKIN_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedFile.cmake)

# Sets NUVSKIN_HOST_NSKTOOL (the program) and NUVSKIN_HOST_NSKTOOL_DEPENDS
# (what a command running it depends on) in the caller's scope.
function(nuvskin_host_nsktool)
  if(NOT CMAKE_CROSSCOMPILING)
    set(NUVSKIN_HOST_NSKTOOL $<TARGET_FILE:nsktool> PARENT_SCOPE)
    set(NUVSKIN_HOST_NSKTOOL_DEPENDS nsktool PARENT_SCOPE)
    return()
  endif()
  set(dir ${CMAKE_BINARY_DIR}/host-tools)
  set(program ${dir}/tools/nsktool/nsktool${CMAKE_HOST_EXECUTABLE_SUFFIX})
  if(NOT TARGET nuvskin_host_tools)
    include(ExternalProject)
    ExternalProject_Add(nuvskin_host_tools
      SOURCE_DIR ${PROJECT_SOURCE_DIR}
      BINARY_DIR ${dir}
      CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DNUVSKIN_BUILD_TESTS=OFF
      BUILD_COMMAND ${CMAKE_COMMAND} --build ${dir} --target nsktool
      # The host build decides itself whether nsktool is out of date.
      BUILD_ALWAYS ON
      BUILD_BYPRODUCTS ${program}
      INSTALL_COMMAND "")
  endif()
  set(NUVSKIN_HOST_NSKTOOL ${program} PARENT_SCOPE)
  set(NUVSKIN_HOST_NSKTOOL_DEPENDS nuvskin_host_tools ${program} PARENT_SCOPE)
endfunction()

# nuvskin_pack_skin(SOURCE_DIR dir OUTPUT file.nsk [PASSWORD p])
# Packs again whenever the manifest, a BMP of the folder or nsktool changes.
function(nuvskin_pack_skin)
  cmake_parse_arguments(P "" "SOURCE_DIR;OUTPUT;PASSWORD" "" ${ARGN})
  if(NOT P_SOURCE_DIR OR NOT P_OUTPUT)
    message(FATAL_ERROR "nuvskin_pack_skin needs SOURCE_DIR and OUTPUT")
  endif()
  nuvskin_host_nsktool()
  file(GLOB_RECURSE bitmaps CONFIGURE_DEPENDS ${P_SOURCE_DIR}/*.bmp ${P_SOURCE_DIR}/*.BMP)
  set(password)
  if(P_PASSWORD)
    set(password --password ${P_PASSWORD})
  endif()
  add_custom_command(OUTPUT ${P_OUTPUT}
    COMMAND ${NUVSKIN_HOST_NSKTOOL} pack ${P_SOURCE_DIR} ${P_OUTPUT} ${password}
    DEPENDS ${P_SOURCE_DIR}/manifest.txt ${bitmaps} ${NUVSKIN_HOST_NSKTOOL_DEPENDS}
    COMMENT "Packing skin ${P_SOURCE_DIR}"
    VERBATIM)
endfunction()

# nuvskin_embed_file(INPUT file OUTPUT source.cpp FUNCTION ns::Name HEADER header.h)
# The generated source defines `std::span<const std::uint8_t> ns::Name()`,
# declared in HEADER, returning the bytes of INPUT.
function(nuvskin_embed_file)
  cmake_parse_arguments(E "" "INPUT;OUTPUT;FUNCTION;HEADER" "" ${ARGN})
  if(NOT E_INPUT OR NOT E_OUTPUT OR NOT E_FUNCTION OR NOT E_HEADER)
    message(FATAL_ERROR "nuvskin_embed_file needs INPUT, OUTPUT, FUNCTION and HEADER")
  endif()
  add_custom_command(OUTPUT ${E_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${E_INPUT} -DOUTPUT=${E_OUTPUT} -DFUNCTION=${E_FUNCTION}
            -DHEADER=${E_HEADER} -P ${NUVSKIN_EMBED_SCRIPT}
    DEPENDS ${E_INPUT} ${NUVSKIN_EMBED_SCRIPT}
    COMMENT "Embedding ${E_INPUT}"
    VERBATIM)
endfunction()
