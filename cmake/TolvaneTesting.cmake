# tolvane_add_test(<name> SOURCES <files...> [LIBS <libs...>] [PORTS <n,n,...>]
#                  [DEVICE_OPTIONS <options...>] [TIMEOUT <s>] [DESKTOP])
#
# Builds one GoogleTest program and registers it as one test (one process per
# program: starting a process under Wine is the expensive part). Its name
# follows <area>_<what>_tests. With PORTS the program runs on the bench: a
# simulated device behind each listed COM number (see tools/bench/with-bench),
# started with DEVICE_OPTIONS. On Windows builds ctest runs it under Wine;
# DESKTOP says that it shows windows.
#
# What tests share, they lock (RESOURCE_LOCK), so ctest -j runs the rest side
# by side:
#   - under Wine, the bench's COM numbers: the prefix maps COMn to one bench
#     at a time (with-bench also takes a lock of its own in the prefix, for
#     benches that ctest does not start);
#   - under Wine, the desktop of the one X display: a window that closes
#     hands activation on, possibly to another test's window.
# Natively every bench has ports of its own, and nothing is locked.
#
# Under Wine every test needs the X display and the warm prefix that the
# fixture "wine" starts before the first of them and ends after the last,
# also when tests fail (tools/bench/wine-env, in build/windows/wine): a bare
# `ctest --preset windows` starts and ends everything itself.
if(WIN32)
  set(TOLVANE_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
  add_test(NAME bench_wine_start COMMAND ${PROJECT_SOURCE_DIR}/tools/bench/wine-env restart ${TOLVANE_WINE_DIR})
  set_tests_properties(bench_wine_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 600)
  add_test(NAME bench_wine_stop COMMAND ${PROJECT_SOURCE_DIR}/tools/bench/wine-env stop ${TOLVANE_WINE_DIR})
  set_tests_properties(bench_wine_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 120)
endif()

# tolvane_wine_test(<name> [<lock>...]): the test <name> runs under Wine, in
# the fixture "wine", holding the locks named (wine_com_ports, wine_desktop).
function(tolvane_wine_test name)
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine
    ENVIRONMENT TOLVANE_WINE_ENV=${TOLVANE_WINE_DIR}
    RESOURCE_LOCK "${ARGN}")
endfunction()

function(tolvane_add_test name)
  cmake_parse_arguments(T "DESKTOP" "PORTS;TIMEOUT" "SOURCES;LIBS;DEVICE_OPTIONS" ${ARGN})
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
  if(WIN32)
    set(locks)
    if(T_PORTS)
      list(APPEND locks wine_com_ports)
    endif()
    if(T_DESKTOP)
      list(APPEND locks wine_desktop)
    endif()
    tolvane_wine_test(${name} ${locks})
  endif()
endfunction()
