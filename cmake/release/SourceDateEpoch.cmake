# cmake -DSOURCE_DIR=... -DOUTPUT=... -P SourceDateEpoch.cmake
#
# Writes the release's time, in seconds since 1970, to OUTPUT, and leaves
# OUTPUT alone when it already says so (what depends on it is then not
# rebuilt). The time is SOURCE_DATE_EPOCH when the builder sets it, else the
# commit's (git log -1 --format=%ct). A tree that is neither gets 0, which the
# release refuses; the program still builds for its tests.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  # Only this tree's own history counts: a tree unpacked inside another
  # checkout must not take that checkout's time.
  execute_process(COMMAND git -C ${SOURCE_DIR} rev-parse --show-toplevel
    OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE status ERROR_QUIET)
  set(epoch "")
  file(REAL_PATH "${SOURCE_DIR}" source_real)
  if(status EQUAL 0 AND NOT top STREQUAL "")
    file(REAL_PATH "${top}" top)
  endif()
  if(status EQUAL 0 AND top STREQUAL source_real)
    execute_process(COMMAND git -C ${SOURCE_DIR} log -1 --format=%ct
      OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE status ERROR_QUIET)
  endif()
  if(NOT status EQUAL 0 OR epoch STREQUAL "")
    message(WARNING "${SOURCE_DIR} is no git checkout and SOURCE_DATE_EPOCH is not set: "
                    "the released programs get the time stamp 0 and the release cannot be packed")
    set(epoch 0)
  endif()
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be seconds since 1970, not '${epoch}'")
endif()

set(written "")
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} written)
endif()
if(NOT written STREQUAL "${epoch}\n")
  file(WRITE ${OUTPUT} "${epoch}\n")
endif()
