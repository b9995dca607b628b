# The release: a zip for Windows users with Tolvane.exe, tolvane-cli.exe, a
# short read-me, the licence, the third-party notices and the changelog,
#   cmake --build --preset windows --target release
# gives build/windows/Tolvane-<version>-win64.zip, and beside it SHA256SUMS
# (sha256sum's format, checked with sha256sum -c).
#
# The same commit gives the same bytes, whatever folder it is built in and
# whenever: the one time that lands in the programs (their PE headers' time
# stamps) and in the zip (its entries' dates) is the commit's, or
# SOURCE_DATE_EPOCH when the builder sets it. The release target checks that
# before it packs (see release/PackRelease.cmake).
if(NOT WIN32)
  return()
endif()

# The programs in the zip, in the order they are packed after the documents.
set(released_programs Tolvane tolvane-cli)

# The time (source_date_epoch, TolvaneSourceDate.cmake) relinks the
# released programs when a new commit changes it. The MinGW linker writes SOURCE_DATE_EPOCH, when set, as the time stamp.
foreach(program ${released_programs})
  add_dependencies(${program} source_date_epoch)
  set_target_properties(${program} PROPERTIES
    CXX_LINKER_LAUNCHER "${CMAKE_CURRENT_LIST_DIR}/release/link-at-source-date;${source_date_file}"
    LINK_DEPENDS ${source_date_file})
endforeach()

# The documents in the zip, in the order they are packed before the
# programs, as source|name in the zip. Windows users open them with Notepad:
# CRLF line ends.
set(released_documents
  docs/README-Windows.txt|README-Windows.txt
  LICENSE|LICENSE.txt
  packaging/windows/THIRD-PARTY.txt|THIRD-PARTY.txt
  CHANGELOG.md|CHANGELOG.md)
set(released_document_files)
foreach(document ${released_documents})
  string(REPLACE "|" ";" document "${document}")
  list(GET document 0 source)
  list(GET document 1 name)
  configure_file(${PROJECT_SOURCE_DIR}/${source} ${CMAKE_BINARY_DIR}/release-documents/${name}
    @ONLY NEWLINE_STYLE CRLF)
  list(APPEND released_document_files ${CMAKE_BINARY_DIR}/release-documents/${name})
endforeach()

# Info-ZIP's zip: unlike the archivers CMake brings, it can leave out the
# entries' access and change times and the builder's user and group.
find_program(TOLVANE_ZIP zip)

set(release_name Tolvane-${PROJECT_VERSION}-win64)
set(released_program_files)
foreach(program ${released_programs})
  list(APPEND released_program_files $<TARGET_FILE:${program}>)
endforeach()
add_custom_target(release
  COMMAND ${CMAKE_COMMAND}
          -DNAME=${release_name}
          "-DPROGRAMS=${released_program_files}"
          "-DDOCUMENTS=${released_document_files}"
          -DSOURCE_DATE_FILE=${source_date_file}
          -DZIP=${TOLVANE_ZIP}
          -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
          -DBINARY_DIR=${CMAKE_BINARY_DIR}
          -P ${CMAKE_CURRENT_LIST_DIR}/release/PackRelease.cmake
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Packing ${release_name}.zip"
  VERBATIM)
add_dependencies(release ${released_programs})
