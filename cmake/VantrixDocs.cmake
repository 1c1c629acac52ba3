# Documentation targets, not part of the default build:
#   cheatsheet  rewrites docs/cheatsheet.md from the public headers
#   docs        the command reference with Doxygen (when it is installed)
#               in <build>/docs/html, the cheatsheet as its first page
set(VTX_CHEATSHEET ${PROJECT_SOURCE_DIR}/docs/cheatsheet.md)
add_custom_target(cheatsheet
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR}/runtime -DOUTPUT=${VTX_CHEATSHEET}
          -P ${PROJECT_SOURCE_DIR}/cmake/VantrixCheatsheet.cmake
  COMMENT "Writing ${VTX_CHEATSHEET}")

find_package(Doxygen QUIET)
if(DOXYGEN_FOUND)
  set(DOXYGEN_PROJECT_NAME Vantrix)
  set(DOXYGEN_PROJECT_BRIEF "${PROJECT_DESCRIPTION}")
  set(DOXYGEN_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/docs)
  set(DOXYGEN_GENERATE_LATEX NO)
  set(DOXYGEN_USE_MDFILE_AS_MAINPAGE ${VTX_CHEATSHEET})
  set(DOXYGEN_EXTRACT_ALL YES)
  set(DOXYGEN_FULL_PATH_NAMES YES)
  set(DOXYGEN_STRIP_FROM_PATH ${PROJECT_SOURCE_DIR}/runtime)
  # The runtime's own helpers stay out of the reference.
  set(DOXYGEN_EXCLUDE_SYMBOLS "vtx" "vtx::*" "VTX_*")
  set(DOXYGEN_WARN_IF_UNDOCUMENTED NO)
  set(DOXYGEN_QUIET YES)
  # The headers document each command with plain // lines above it: the
  # filter reads them as Doxygen comments.
  set(DOXYGEN_INPUT_FILTER ${PROJECT_SOURCE_DIR}/tools/doxygen-comment-filter)
  set(headers "")
  foreach(header IN LISTS VTX_PUBLIC_HEADERS)
    list(APPEND headers ${PROJECT_SOURCE_DIR}/runtime/${header})
  endforeach()
  doxygen_add_docs(docs ${headers} ${VTX_CHEATSHEET} COMMENT "Writing the command reference in ${PROJECT_BINARY_DIR}/docs/html")
endif()
