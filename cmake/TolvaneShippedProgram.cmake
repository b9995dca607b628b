# tolvane_shipped_program(<target> [CONSOLE])
#
# Builds <target> as the programs in the release zip are built for Windows
# users: a GUI program (no console; a console program with CONSOLE, as
# tolvane-cli), linked statically (see the top CMakeLists.txt), without
# symbols in the MinSizeRel build. The benchmark's yardsticks use it too, so
# that they differ from Tolvane.exe only in their code.
function(tolvane_shipped_program target)
  if(NOT "CONSOLE" IN_LIST ARGN)
    set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  endif()
  target_link_options(${target} PRIVATE $<$<CONFIG:MinSizeRel>:-s>)
endfunction()
