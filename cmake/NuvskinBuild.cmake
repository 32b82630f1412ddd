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

# Warnings are errors in our own code (not in GoogleTest or system headers).
function(nuvskin_target_defaults target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra -Wpedantic -Werror>
    $<$<AND:$<COMPILE_LANGUAGE:C,CXX>,$<CXX_COMPILER_ID:GNU>>:-Wno-cast-function-type>)
  if(WIN32)
    target_compile_definitions(${target}
      PUBLIC NOMINMAX STRICT _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0600
      # Our own code is wide; headers name the W or A function explicitly.
      PRIVATE UNICODE _UNICODE)
  endif()
endfunction()
