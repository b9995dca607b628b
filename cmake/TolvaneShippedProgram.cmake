# tolvane_shipped_program(<target>)
#
# Builds <target> as Tolvane.exe is built for Windows users: a GUI program
# (no console), linked statically (see the top CMakeLists.txt), without
# symbols in the MinSizeRel build. The benchmark's yardsticks use it too, so
# that they differ from Tolvane.exe only in their code.
function(tolvane_shipped_program target)
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  target_link_options(${target} PRIVATE $<$<CONFIG:MinSizeRel>:-s>)
endfunction()
