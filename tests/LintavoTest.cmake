# lintavo_add_test(<name> SOURCES ... [LIBS ...] [SERVER] [PULSE] [XVFB] [TIMEOUT s] [LABELS ...])
# Builds a QtTest executable and registers it with ctest. The runner starts
# what the test needs (reference service on a free port, private PulseAudio,
# Xvfb) and stops it when the test ends.
set(LINTAVO_TEST_RUNNER ${CMAKE_CURRENT_LIST_DIR}/support/run-test.sh)
# Helpers every test may include.
set(LINTAVO_TEST_SUPPORT ${CMAKE_CURRENT_LIST_DIR}/support)
set(LINTAVO_TEST_MEDIA ${CMAKE_BINARY_DIR}/test-media)

function(lintavo_add_test name)
  cmake_parse_arguments(T "SERVER;PULSE;XVFB" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(T_SERVER AND NOT TARGET lintavo-server)
    message(STATUS "${name}: left out, this build has no reference service")
    return()
  endif()
  string(REPLACE "." "_" target "test_${name}")
  add_executable(${target} ${T_SOURCES})
  target_link_libraries(${target} PRIVATE Qt5::Test ${T_LIBS})
  target_include_directories(${target} PRIVATE ${LINTAVO_TEST_SUPPORT})
  set(flags "")
  if(T_SERVER)
    list(APPEND flags --server $<TARGET_FILE:lintavo-server>)
  endif()
  if(T_PULSE)
    list(APPEND flags --pulse)
  endif()
  if(T_XVFB)
    list(APPEND flags --xvfb)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  # A hang shows its stacks shortly before ctest ends the test.
  math(EXPR stacks_after "${T_TIMEOUT} * 9 / 10")
  add_test(NAME ${name}
           COMMAND ${LINTAVO_TEST_RUNNER} ${flags} --media ${LINTAVO_TEST_MEDIA}
                   --stacks-after ${stacks_after} -- $<TARGET_FILE:${target}>)
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
                       ENVIRONMENT "LINTAVO_BIN_DIR=${CMAKE_BINARY_DIR}/bin;LINTAVO_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
