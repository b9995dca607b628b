# tolvane_add_test(<name> SOURCES <files...> [LIBS <libs...>] [PORTS <n,n,...>]
#                  [DEVICE_OPTIONS <options...>] [TIMEOUT <s>])
#
# Builds one GoogleTest program and registers it as one test (one process per
# program: starting a process under Wine is the expensive part). With PORTS the
# program runs on the bench: a simulated device behind each listed COM number
# (see tools/bench/with-bench), started with DEVICE_OPTIONS. On Windows builds ctest runs it under Wine.
function(tolvane_add_test name)
  cmake_parse_arguments(T "" "PORTS;TIMEOUT" "SOURCES;LIBS;DEVICE_OPTIONS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  if(T_PORTS)
    set(device_options)
    foreach(option ${T_DEVICE_OPTIONS})
      list(APPEND device_options --device-option=${option})
    endforeach()
    add_test(NAME ${name}
      COMMAND ${PROJECT_SOURCE_DIR}/tools/bench/with-bench --ports ${T_PORTS} ${device_options}
              -- $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()
