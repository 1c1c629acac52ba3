# Build options shared by every target of the project.

# Our own code compiles with every common warning. Warnings become errors
# only when asked (VTX_WERROR): CI and developers' builds turn it on; a user's
# build with another compiler or optimisation level must not fail on a new one.
add_library(vtx_warnings INTERFACE)
target_compile_options(vtx_warnings INTERFACE -Wall -Wextra $<$<BOOL:${VTX_WERROR}>:-Werror>)

# Sanitizer and fuzzer instrumentation applies to every target, library
# included, so consumers of an instrumented build link the runtimes too.
if(VTX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VTX_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "VTX_BUILD_FUZZ needs clang (CC=clang CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
