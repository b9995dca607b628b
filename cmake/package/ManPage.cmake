# cmake -DSOURCE=page.1.scd [-DSECTIONS_TOOL=...] -DSOURCE_DATE_FILE=... -DOUTPUT=page.1.gz
#       -P ManPage.cmake
#
# Writes OUTPUT, a manual page in roff, gzipped, from its hand-written scdoc
# SOURCE (docs/man). With SECTIONS_TOOL (tolvane-man-sections) the page's
# @OPTIONS@, @EXIT_STATUS@, @TRANSCRIPT@ and @RECORD@ lines are first filled
# from the program's own tables and help, so that they cannot drift from it.
#
# The page's date is the release's time (SOURCE_DATE_FILE: the commit's, or
# SOURCE_DATE_EPOCH), which scdoc takes from SOURCE_DATE_EPOCH, and gzip -n
# leaves out the file's name and time: the same sources give the same bytes.
find_program(SCDOC scdoc)
if(NOT SCDOC)
  message(FATAL_ERROR "The manual pages are made with scdoc: install it (Debian: scdoc)")
endif()

get_filename_component(page ${OUTPUT} NAME_WLE)
get_filename_component(folder ${OUTPUT} DIRECTORY)
set(filled ${folder}/${page}.scd)
if(SECTIONS_TOOL)
  execute_process(COMMAND ${SECTIONS_TOOL} ${SOURCE} OUTPUT_FILE ${filled} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${SECTIONS_TOOL} could not fill the sections of ${SOURCE}")
  endif()
else()
  configure_file(${SOURCE} ${filled} COPYONLY)
endif()

file(READ ${SOURCE_DATE_FILE} epoch)
string(STRIP "${epoch}" epoch)
set(ENV{SOURCE_DATE_EPOCH} ${epoch})
execute_process(COMMAND ${SCDOC} INPUT_FILE ${filled} OUTPUT_FILE ${folder}/${page} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "scdoc could not make the manual page from ${filled}")
endif()
execute_process(COMMAND gzip -9 -n -f ${folder}/${page} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip failed on ${folder}/${page}")
endif()
