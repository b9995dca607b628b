# The Debian package for Linux users,
#   cmake --build --preset native --target package
# gives build/native/tolvane-cli_<version>_<architecture>.deb (CPack's DEB
# generator) with
#   /usr/bin/tolvane-cli, and /usr/bin/tolvane-simdevice to try it without a
#     device;
#   a manual page for each in section 1, written in scdoc (docs/man), with
#     tolvane-cli's options and exit codes from its tables
#     (package/ManPage.cmake);
#   completion for tolvane-cli in bash, zsh and fish (the candidates come from
#     the program's hidden --complete);
#   /usr/share/doc/tolvane-cli/: the copyright file and the changelog.
# Its dependencies are computed from the programs (dpkg-shlibdeps). Its
# version is the project's; the changelog's latest entry must name it, and
# the maintainer is the one who signed that entry.
#
# Only the native Linux build installs and packs anything: Windows users get
# the zip (TolvaneRelease.cmake).
if(WIN32)
  return()
endif()

include(GNUInstallDirs)

set(package_name tolvane-cli)
set(package_source_dir ${PROJECT_SOURCE_DIR}/packaging)
set(changelog ${package_source_dir}/debian/changelog)
set(package_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${package_name})

# "tolvane-cli (VERSION) ..." on the first line, " -- NAME <ADDRESS>  DATE"
# ends the entry.
file(STRINGS ${changelog} changelog_lines)
list(GET changelog_lines 0 latest_entry)
if(NOT latest_entry MATCHES "^${package_name} \\(([^)]+)\\)")
  message(FATAL_ERROR "${changelog} does not start with an entry for ${package_name}")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "The latest entry of ${changelog} is for ${CMAKE_MATCH_1}, not ${PROJECT_VERSION}: "
                      "add one for this version")
endif()
# The Debian changelog repeats CHANGELOG.md's entries: its latest release
# is the same version.
file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG.md release_headings REGEX "^## \\[[0-9]")
list(GET release_headings 0 latest_release)
if(NOT latest_release MATCHES "^## \\[${PROJECT_VERSION}\\]")
  message(FATAL_ERROR "The latest release in CHANGELOG.md is not ${PROJECT_VERSION}: add its entry there too")
endif()
list(FILTER changelog_lines INCLUDE REGEX "^ -- ")
list(GET changelog_lines 0 signature)
string(REGEX REPLACE "^ -- (.*>)  .*$" "\\1" package_maintainer "${signature}")

install(TARGETS tolvane-cli tolvane-simdevice RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The package's one time (source_date_epoch, TolvaneSourceDate.cmake) dates
# the manual pages and every file in the package.

# The manual pages, written by hand in scdoc (docs/man); tolvane-cli's
# OPTIONS and EXIT STATUS, and its files' formats, come from its tables and
# help (tools/manpage).
set(man_dir ${CMAKE_BINARY_DIR}/man)
set(man_pages)
foreach(page "tolvane-cli|-DSECTIONS_TOOL=$<TARGET_FILE:tolvane-man-sections>" "tolvane-simdevice|")
  string(REPLACE "|" ";" page "${page}")
  list(GET page 0 program)
  list(GET page 1 sections)
  set(source ${PROJECT_SOURCE_DIR}/docs/man/${program}.1.scd)
  set(output ${man_dir}/${program}.1.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${man_dir}
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${source} ${sections} -DSOURCE_DATE_FILE=${source_date_file}
            -DOUTPUT=${output} -P ${CMAKE_CURRENT_LIST_DIR}/package/ManPage.cmake
    DEPENDS ${source} tolvane-man-sections ${source_date_file} ${CMAKE_CURRENT_LIST_DIR}/package/ManPage.cmake
    COMMENT "Manual page of ${program}"
    VERBATIM)
  list(APPEND man_pages ${output})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_pages})
add_dependencies(man_pages source_date_epoch)
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Completion for bash, zsh and fish, where Debian's packages of each look.
install(FILES ${package_source_dir}/tolvane-cli.bash-completion
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
  RENAME tolvane-cli)
install(FILES ${package_source_dir}/tolvane-cli.zsh-completion
  DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions
  RENAME _tolvane-cli)
install(FILES ${package_source_dir}/tolvane-cli.fish
  DESTINATION ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d)

# Debian keeps a native package's changelog compressed, without gzip's name
# and time.
set(changelog_gz ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND sh -c "gzip -9 -n -c \"$1\" >\"$2\"" sh ${changelog} ${changelog_gz}
  DEPENDS ${changelog}
  VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${changelog_gz})

# The copyright file (DEP-5) holds the licence as LICENSE words it: its
# holder in the Files paragraph (TolvaneVersion.cmake), its text, each line
# indented by a space and an empty line written " .", in the licence's
# paragraph.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(FIND "${licence}" "Permission is hereby granted" permission_start)
if(permission_start LESS 0)
  message(FATAL_ERROR "LICENSE has no permission notice")
endif()
string(SUBSTRING "${licence}" ${permission_start} -1 licence_text)
string(STRIP "${licence_text}" licence_text)
string(REPLACE "\n\n" "\n.\n" licence_text "${licence_text}")
string(REPLACE "\n" "\n " EXPAT_LICENSE_TEXT " ${licence_text}")
set(copyright ${CMAKE_BINARY_DIR}/copyright)
configure_file(${package_source_dir}/debian/copyright.in ${copyright} @ONLY)
install(FILES ${copyright} ${changelog_gz} DESTINATION ${package_doc_dir})

# Every date in the package (the files', the archives' members') is the
# package's one time: CPack takes SOURCE_DATE_EPOCH, which
# package/PackageDate.cmake sets from source_date_file when CPack starts.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/package/PackageDate.cmake)
set(CPACK_TOLVANE_DATE_FILE ${source_date_file})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${package_name})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${package_maintainer}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${package_maintainer}")
# No Homepage field: the project has no home page to name.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "read and configure Tolvane Bluetooth devices over a serial port")
# The summary is the description's first line; the rest follows it.
set(CPACK_PACKAGE_DESCRIPTION "tolvane-cli reads a Tolvane device (name, firmware version, authentication
and PIN) and changes its authentication and PIN, through the serial port of
a Bluetooth SPP connection (/dev/rfcomm0) or a USB adapter. It lists the
serial ports of the machine, probes them all at once, and configures a whole
bench of devices from a CSV plan.
.
tolvane-simdevice plays a Tolvane device on a pseudo-terminal, to try
tolvane-cli without hardware.")
include(CPack)
