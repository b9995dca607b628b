# cmake -DPROGRAM=... -DDESCRIPTION=... -DVERSION=... -DOUTPUT=...
#       -P ManPage.cmake
#
# Writes OUTPUT (name.1.gz), the manual page of PROGRAM in section 1, made by
# help2man from the program's own --help and --version, so that the text has
# one home. A program whose --version does not answer (it fails, or prints
# nothing) gets VERSION, the project's version, instead.
#
# help2man takes its date from SOURCE_DATE_EPOCH when set, and gzip -n leaves
# out the file's name and time: the same sources give the same bytes.
find_program(HELP2MAN help2man)
if(NOT HELP2MAN)
  message(FATAL_ERROR "The manual pages are made with help2man: install it (Debian: help2man)")
endif()

execute_process(COMMAND ${PROGRAM} --version RESULT_VARIABLE status OUTPUT_VARIABLE answer ERROR_QUIET)
set(version_source)
if(NOT status EQUAL 0 OR answer STREQUAL "")
  set(version_source --version-string=${VERSION})
endif()

get_filename_component(page ${OUTPUT} NAME_WLE)
get_filename_component(folder ${OUTPUT} DIRECTORY)
execute_process(
  COMMAND ${HELP2MAN} --no-info --section=1 --name=${DESCRIPTION} ${version_source}
          --output=${folder}/${page} ${PROGRAM}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man could not make the manual page from ${PROGRAM}")
endif()
execute_process(COMMAND gzip -9 -n -f ${folder}/${page} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip failed on ${folder}/${page}")
endif()
