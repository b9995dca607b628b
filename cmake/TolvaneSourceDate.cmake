# source_date_epoch: the one time of what is shipped, the zip's
# (TolvaneRelease.cmake) and the Debian package's (TolvanePackage.cmake):
# the commit's, or SOURCE_DATE_EPOCH (release/SourceDateEpoch.cmake). It is
# written to source_date_file at each build, and rewritten only when it
# changes, so that a new commit redoes what depends on it and nothing else.
set(source_date_file ${CMAKE_BINARY_DIR}/source-date-epoch.txt)
add_custom_target(source_date_epoch
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DOUTPUT=${source_date_file}
          -P ${CMAKE_CURRENT_LIST_DIR}/release/SourceDateEpoch.cmake
  BYPRODUCTS ${source_date_file}
  VERBATIM)
