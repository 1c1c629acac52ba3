# Writes the one-page command cheatsheet from the public headers: every
# command the umbrella header declares, grouped by subsystem, each with the
# comment above its declaration.
#   cmake -DSOURCE=<runtime folder> -DOUTPUT=<file.md> -P VantrixCheatsheet.cmake
# Declarations inside `namespace vtx` (the runtime's own helpers) are left out.
if(NOT SOURCE OR NOT OUTPUT)
  message(FATAL_ERROR "usage: cmake -DSOURCE=<runtime folder> -DOUTPUT=<file.md> -P VantrixCheatsheet.cmake")
endif()

set(titles
  "host:Window, frames and start-up"
  "core:Text, numbers, maths and arrays"
  "files:Files, INI, processes and the pack archive"
  "gfx2d:2D drawing, sprites, fonts and screens"
  "input:Keyboard, mouse and joysticks"
  "audio:Sound effects, music and movies"
  "net:Network and sessions"
  "gfx3d:3D objects"
  "path:Path finding")

file(STRINGS ${SOURCE}/vantrix.h includes REGEX "^#include \"")
set(out "# Vantrix command cheatsheet\n\nEvery command of `<vantrix/vantrix.h>`, by subsystem, with the header that\ndeclares it (generated from the headers by `cmake --build build --target cheatsheet`).\nColours are 0xBBGGRR integers; times are milliseconds.\n")
foreach(entry IN LISTS titles)
  string(REPLACE ":" ";" parts "${entry}")
  list(GET parts 0 folder)
  list(GET parts 1 title)
  string(APPEND out "\n## ${title}\n")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${line}")
    if(NOT header MATCHES "^${folder}/")
      continue()
    endif()
    file(STRINGS ${SOURCE}/${header} lines)
    set(section "")
    set(comment "")
    set(pending "")
    set(depth 0)  # inside namespace vtx when > 0
    foreach(text IN LISTS lines)
      if(text MATCHES "^namespace vtx")
        math(EXPR depth "${depth} + 1")
        set(comment "")
        continue()
      endif()
      if(depth GREATER 0)
        if(text MATCHES "^}  // namespace vtx")
          math(EXPR depth "${depth} - 1")
        endif()
        continue()
      endif()
      if(NOT pending STREQUAL "")
        string(STRIP "${text}" piece)
        string(APPEND pending " ${piece}")
        if(text MATCHES ";$")
          string(APPEND section "- `${pending}`${comment}\n")
          set(pending "")
          set(comment "")
        endif()
        continue()
      endif()
      if(text MATCHES "^// (.*)$")
        string(APPEND comment " ${CMAKE_MATCH_1}")
        continue()
      endif()
      # A command: a declaration at the top level, not a type or a macro.
      # Inline and template commands (the array commands) are defined where
      # they are declared: their first line, without the body, stands for them.
      if(text MATCHES "^template <" OR text MATCHES "^ +requires ")
        continue()
      endif()
      if(text MATCHES "^[A-Za-z_].*\\(" AND NOT text MATCHES "^(#|struct |class |enum |using |typedef|inline constexpr|namespace)"
         AND NOT text MATCHES "vtx::" AND NOT text MATCHES "[{].*[}]")
        string(REGEX REPLACE " *[{]$" ";" decl "${text}")
        string(STRIP "${decl}" decl)
        if(NOT comment STREQUAL "")
          string(PREPEND comment " —")
        endif()
        if(decl MATCHES ";$")
          string(APPEND section "- `${decl}`${comment}\n")
          set(comment "")
        else()
          set(pending "${decl}")
        endif()
        continue()
      endif()
      if(NOT text MATCHES "^//")
        set(comment "")
      endif()
    endforeach()
    if(NOT section STREQUAL "")
      string(APPEND out "\n### `${header}`\n\n${section}")
    endif()
  endforeach()
endforeach()
string(REPLACE "|" "\\|" out "${out}")
file(WRITE ${OUTPUT} "${out}")
