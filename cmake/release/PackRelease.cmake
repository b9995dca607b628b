# cmake -DNAME=... -DPROGRAMS=a.exe;b.exe -DDOCUMENTS=a.txt;b.txt -DSOURCE_DATE_FILE=... -DZIP=...
#       -DSOURCE_DIR=... -DBINARY_DIR=... -P PackRelease.cmake
#
# Checks that each program is fit to ship the same from any build of its
# commit, then packs BINARY_DIR/NAME.zip with the documents and the programs in
# a folder NAME, the documents first. Fails, and packs nothing, when:
#   - a PE header's time stamp is not the release's time (SOURCE_DATE_FILE);
#   - a program holds the source or the build folder's path;
#   - the zip, unpacked again, does not give the same files with that time.
# The zip holds the files in a fixed order, with fixed permissions, the time
# as their only date and no user or group. SHA256SUMS beside it holds its
# hash.
file(READ ${SOURCE_DATE_FILE} epoch)
string(STRIP "${epoch}" epoch)
if(epoch EQUAL 0)
  message(FATAL_ERROR "The release takes its time from the commit: build it in a git checkout, "
                      "or set SOURCE_DATE_EPOCH")
endif()

# Four little-endian bytes of `file` at `offset`, as a number.
function(read_uint32 file offset out)
  file(READ ${file} hex OFFSET ${offset} LIMIT 4 HEX)
  string(REGEX REPLACE "(..)(..)(..)(..)" "\\4\\3\\2\\1" hex "${hex}")
  math(EXPR value "0x${hex}")
  set(${out} ${value} PARENT_SCOPE)
endfunction()

# The PE header starts where the DOS header's e_lfanew (at 0x3C) says, with
# "PE\0\0", the machine (2 bytes), the number of sections (2), the time stamp.
function(check_time_stamp program)
  read_uint32(${program} 60 pe_header)
  file(READ ${program} signature OFFSET ${pe_header} LIMIT 4 HEX)
  if(NOT signature STREQUAL "50450000")
    message(FATAL_ERROR "${program} has no PE header")
  endif()
  math(EXPR stamp_offset "${pe_header} + 8")
  read_uint32(${program} ${stamp_offset} stamp)
  if(NOT stamp EQUAL epoch)
    message(FATAL_ERROR "${program}'s time stamp is ${stamp}, not the release's time ${epoch}")
  endif()
endfunction()

# A path would be one of the program's runs of printable characters.
function(check_no_build_paths program)
  file(STRINGS ${program} program_strings)
  foreach(path ${SOURCE_DIR} ${BINARY_DIR})
    string(FIND "${program_strings}" "${path}" found)
    if(found GREATER_EQUAL 0)
      message(FATAL_ERROR "${program} holds the path ${path}: it would differ between folders")
    endif()
  endforeach()
endfunction()

foreach(program ${PROGRAMS})
  check_time_stamp(${program})
  check_no_build_paths(${program})
endforeach()

if(NOT ZIP)
  message(FATAL_ERROR "The release is packed with Info-ZIP's zip: install it (Debian: zip)")
endif()

# A zip entry's date counts in two seconds, in local time: the files get the
# release's time rounded down to even seconds, and zip runs in UTC.
math(EXPR zip_time "${epoch} - ${epoch} % 2")
set(ENV{TZ} UTC)
# zip would take options from these.
unset(ENV{ZIP})
unset(ENV{ZIPOPT})

set(stage ${BINARY_DIR}/release)
set(zip_file ${BINARY_DIR}/${NAME}.zip)
file(REMOVE_RECURSE ${stage})
file(REMOVE ${zip_file} ${BINARY_DIR}/SHA256SUMS)
file(MAKE_DIRECTORY ${stage}/${NAME})
set(entries)
foreach(file ${DOCUMENTS} ${PROGRAMS})
  get_filename_component(name ${file} NAME)
  file(COPY_FILE ${file} ${stage}/${NAME}/${name})
  list(APPEND entries ${NAME}/${name})
  list(FIND DOCUMENTS "${file}" document_index)
  if(document_index GREATER_EQUAL 0)
    file(CHMOD ${stage}/${NAME}/${name} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  else()
    file(CHMOD ${stage}/${NAME}/${name} PERMISSIONS
      OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  endif()
endforeach()

execute_process(COMMAND touch -d @${zip_time} ${entries} WORKING_DIRECTORY ${stage} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot set the files' time")
endif()
# -X: no extra fields (access and change times, user and group); -D: no
# entries for folders, whose dates would be the build's.
execute_process(COMMAND ${ZIP} -X -D -q ${zip_file} ${entries} WORKING_DIRECTORY ${stage} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "zip failed (${status})")
endif()

# What a user gets: unpacked again, the same bytes with the release's time.
set(unpacked ${stage}/unpacked)
file(MAKE_DIRECTORY ${unpacked})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${zip_file} WORKING_DIRECTORY ${unpacked} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${zip_file} does not unpack")
endif()
file(GLOB_RECURSE unpacked_files RELATIVE ${unpacked} ${unpacked}/*)
list(SORT unpacked_files)
set(expected ${entries})
list(SORT expected)
if(NOT unpacked_files STREQUAL expected)
  message(FATAL_ERROR "${zip_file} holds ${unpacked_files}, not ${expected}")
endif()
foreach(entry ${entries})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${stage}/${entry} ${unpacked}/${entry}
    RESULT_VARIABLE differs)
  file(TIMESTAMP ${unpacked}/${entry} date "%s" UTC)
  if(differs OR NOT date EQUAL zip_time)
    message(FATAL_ERROR "${entry} in ${zip_file} is not as packed (date ${date}, not ${zip_time})")
  endif()
endforeach()
file(REMOVE_RECURSE ${unpacked})

# What a user checks the download against, in sha256sum's format.
file(SHA256 ${zip_file} zip_hash)
file(WRITE ${BINARY_DIR}/SHA256SUMS "${zip_hash}  ${NAME}.zip\n")
message(STATUS "${zip_file}: ${entries}, dated ${zip_time}")
