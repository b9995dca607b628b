# Read by CPack as it starts (CPACK_PROJECT_CONFIG_FILE): the package's time
# (CPACK_TOLVANE_DATE_FILE, the commit's or SOURCE_DATE_EPOCH) becomes
# SOURCE_DATE_EPOCH, which CPack gives every file and archive member.
file(READ "${CPACK_TOLVANE_DATE_FILE}" tolvane_epoch)
string(STRIP "${tolvane_epoch}" tolvane_epoch)
if(tolvane_epoch EQUAL 0)
  message(FATAL_ERROR "The package takes its time from the commit: build it in a git checkout, "
                      "or set SOURCE_DATE_EPOCH")
endif()
set(ENV{SOURCE_DATE_EPOCH} "${tolvane_epoch}")
