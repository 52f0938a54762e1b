# vel_add_gtest(NAME <name> LABELS <label>... SOURCES <file>... [LIBS <lib>...]
#               [ENVIRONMENT <VAR=value>...] [TIMEOUT <seconds>])
# One executable a call: tests that need their own Java VM (one per process)
# or their own process-wide state get their own executable.
set(VEL_X11_TEST_AREAS standins bridge rendering)

function(vel_add_gtest)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "LABELS;SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${T_TIMEOUT})
  # Tests of these areas put windows on the shared X server and read their
  # pixels back from the screen, where a window of a test running in parallel
  # would cover them: they take turns.
  get_filename_component(test_area ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  if(test_area IN_LIST VEL_X11_TEST_AREAS)
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK x11display)
  endif()
  # The sanitizers' run-time options (cmake/VelSanitize.cmake) come first; a
  # test's own entries may override them.
  set(environment ${VEL_SANITIZER_TEST_ENVIRONMENT} ${T_ENVIRONMENT})
  if(environment)
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${environment}")
  endif()
endfunction()
