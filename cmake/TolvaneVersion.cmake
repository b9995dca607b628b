# tolvane_version: TolvaneVersion.h, the project's version for the programs'
# --version and the version blocks of the Windows programs. Link it (an
# interface library) to get the header on the include path.
#
# The copyright holder of --version and the version blocks is the licence's
# (LICENSE); TOLVANE_COPYRIGHT_HOLDER is also what the Debian package's
# copyright file names.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE copyright_line REGEX "^Copyright \\(c\\) " LIMIT_COUNT 1)
if(NOT copyright_line)
  message(FATAL_ERROR "LICENSE has no line \"Copyright (c) YEAR HOLDER\"")
endif()
string(REGEX REPLACE "^Copyright \\(c\\) " "" TOLVANE_COPYRIGHT_HOLDER "${copyright_line}")
# A release is named by three numbers (1.1.0); a Windows version block has
# four, the fourth 0 unless the project's version gives one.
set(TOLVANE_VERSION_TWEAK "${PROJECT_VERSION_TWEAK}")
if("${TOLVANE_VERSION_TWEAK}" STREQUAL "")
  set(TOLVANE_VERSION_TWEAK 0)
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/TolvaneVersion.h.in ${CMAKE_BINARY_DIR}/version/TolvaneVersion.h @ONLY)
add_library(tolvane_version INTERFACE)
target_include_directories(tolvane_version INTERFACE ${CMAKE_BINARY_DIR}/version)
