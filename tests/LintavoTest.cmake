# lintavo_add_test(<name> SOURCES ... [LIBS ...] [SERVER] [PULSE] [XVFB] [TIMEOUT s] [LABELS ...])
# Builds a QtTest executable and registers it with ctest. The runner starts
# what the test needs (reference service on a free port, private PulseAudio,
# Xvfb) and stops it when the test ends.
set(LINTAVO_TEST_RUNNER ${CMAKE_CURRENT_LIST_DIR}/support/run-test.sh)
set(LINTAVO_TEST_MEDIA ${CMAKE_BINARY_DIR}/test-media)

function(lintavo_add_test name)
  cmake_parse_arguments(T "SERVER;PULSE;XVFB" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  string(REPLACE "." "_" target "test_${name}")
  add_executable(${target} ${T_SOURCES})
  target_link_libraries(${target} PRIVATE Qt5::Test ${T_LIBS})
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
  add_test(NAME ${name}
           COMMAND ${LINTAVO_TEST_RUNNER} ${flags} --media ${LINTAVO_TEST_MEDIA} -- $<TARGET_FILE:${target}>)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
                       ENVIRONMENT "LINTAVO_BIN_DIR=${CMAKE_BINARY_DIR}/bin;LINTAVO_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
