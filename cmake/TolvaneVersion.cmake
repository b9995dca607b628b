# tolvane_version: TolvaneVersion.h, the project's version for the programs'
# --version and the version blocks of the Windows programs. Link it (an
# interface library) to get the header on the include path.
configure_file(${CMAKE_CURRENT_LIST_DIR}/TolvaneVersion.h.in ${CMAKE_BINARY_DIR}/version/TolvaneVersion.h @ONLY)
add_library(tolvane_version INTERFACE)
target_include_directories(tolvane_version INTERFACE ${CMAKE_BINARY_DIR}/version)
