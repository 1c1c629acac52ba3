# The table behind PlatformInfo("GLEXT:name"): every OpenGL function beyond
# version 1.1 that the system's GL/glext.h declares, with the core version or
# extension block that defines it. Mesa hands out an entry point for any name
# at all, so whether a driver supplies a function is decided from this table
# and the context's version and extension string, not from the entry point.
#
# vtx_write_gl_function_table(<glext.h> <output .inc>) writes the table at
# configure time, touching the output only when its text changes.
function(vtx_write_gl_function_table header output)
  if(NOT EXISTS "${header}")
    message(FATAL_ERROR "GL/glext.h not found (looked at ${header}); install libgl-dev")
  endif()
  # Block starts ("#ifndef GL_ARB_multitexture") and prototypes ("GLAPI ...
  # APIENTRY glActiveTextureARB (..."). A prototype belongs to the block above it.
  file(STRINGS "${header}" lines REGEX "^(#ifndef GL_[A-Za-z0-9_]+$|GLAPI .*APIENTRY gl[A-Za-z0-9_]+ ?\\()")
  set(block_names "")
  set(functions "")
  set(block -1)
  set(next_block 0)
  foreach(line IN LISTS lines)
    if(line MATCHES "^#ifndef (GL_[A-Za-z0-9_]+)$")
      string(APPEND block_names "    \"${CMAKE_MATCH_1}\",\n")
      set(block ${next_block})
      math(EXPR next_block "${next_block} + 1")
    elseif(line MATCHES "APIENTRY (gl[A-Za-z0-9_]+) ?\\(" AND block GREATER_EQUAL 0)
      string(APPEND functions "    {\"${CMAKE_MATCH_1}\", ${block}},\n")
    endif()
  endforeach()
  set(text "// Generated at configure time from ${header}; do not edit.\n")
  string(APPEND text "// Each OpenGL function with the version or extension block that defines it.\n")
  string(APPEND text "static const char* const kGlDefiningBlocks[] = {\n${block_names}};\n")
  string(APPEND text "static const GlFunctionDefinition kGlFunctions[] = {\n${functions}};\n")
  file(WRITE "${output}.new" "${text}")
  configure_file("${output}.new" "${output}" COPYONLY)
  file(REMOVE "${output}.new")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${header}")
endfunction()
