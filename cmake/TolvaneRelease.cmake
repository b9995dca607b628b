# The release: a zip for Windows users with Tolvane.exe and a short read-me,
#   cmake --build --preset windows --target release
# gives build/windows/Tolvane-<version>-win64.zip. The target builds only the
# program, then runs cpack on the install rules below.
if(NOT WIN32 OR NOT TARGET Tolvane)
  return()
endif()

# Windows users open the read-me with Notepad: CRLF line ends.
configure_file(${PROJECT_SOURCE_DIR}/docs/README-Windows.txt ${CMAKE_BINARY_DIR}/README-Windows.txt
  @ONLY NEWLINE_STYLE CRLF)

install(TARGETS Tolvane RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/README-Windows.txt DESTINATION .)

set(release_name Tolvane-${PROJECT_VERSION}-win64)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Tolvane)
set(CPACK_PACKAGE_FILE_NAME ${release_name})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)

add_custom_target(release
  COMMAND ${CMAKE_CPACK_COMMAND} --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Packing ${release_name}.zip"
  VERBATIM)
add_dependencies(release Tolvane)
