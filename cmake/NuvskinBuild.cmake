# Build conventions shared by every target of the project.

find_program(NUVSKIN_CCACHE ccache)
if(NUVSKIN_CCACHE)
  set(CMAKE_C_COMPILER_LAUNCHER ${NUVSKIN_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${NUVSKIN_CCACHE})
endif()

option(NUVSKIN_SANITIZE "Build host code with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(NUVSKIN_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Compiler options follow the command line the compiler reads: cl's for MSVC
# and for clang-cl (which would take -Wall as every warning there is), GCC's
# for GCC and clang. CMake 3.25 has no generator expression for clang's front
# end, so its variable stands in.
set(NUVSKIN_CL_OPTIONS
  "$<OR:$<CXX_COMPILER_ID:MSVC>,$<AND:$<CXX_COMPILER_ID:Clang>,$<STREQUAL:${CMAKE_CXX_COMPILER_FRONTEND_VARIANT},MSVC>>>")
set(NUVSKIN_GNU_OPTIONS "$<NOT:${NUVSKIN_CL_OPTIONS}>")
# Warnings are errors in our own code (not in GoogleTest or system headers).
# cl reads sources in the ANSI code page unless told they are UTF-8; its
# -std:c++20 already implies /permissive-.
set(NUVSKIN_WARNING_OPTIONS
  "$<${NUVSKIN_CL_OPTIONS}:/W4;/WX;/utf-8>"
  "$<${NUVSKIN_GNU_OPTIONS}:-Wall;-Wextra;-Wpedantic;-Werror>"
  "$<$<CXX_COMPILER_ID:GNU>:-Wno-cast-function-type>")
# For third-party sources compiled into our targets.
set(NUVSKIN_NO_WARNING_OPTIONS "$<IF:${NUVSKIN_CL_OPTIONS},/w,-w>")

function(nuvskin_target_defaults target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:C,CXX>:${NUVSKIN_WARNING_OPTIONS}>")
  if(WIN32)
    target_compile_definitions(${target}
      PUBLIC NOMINMAX STRICT _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0600
      # Our own code is wide; headers name the W or A function explicitly.
      PRIVATE UNICODE _UNICODE)
  endif()
endfunction()
