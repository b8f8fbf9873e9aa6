# vantor_test(<target> LABEL unit|integration|gui SOURCES ... LIBS ... [TIMEOUT s])
# One gtest executable; every test case becomes a CTest test with the label and a time limit.
function(vantor_test target)
  cmake_parse_arguments(T "" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LABEL)
    set(T_LABEL unit)
  endif()
  if(NOT T_TIMEOUT)
    if(T_LABEL STREQUAL "unit")
      set(T_TIMEOUT 20)
    else()
      set(T_TIMEOUT 60)
    endif()
  endif()
  add_executable(${target} ${T_SOURCES})
  target_link_libraries(${target} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock
                                          Threads::Threads)
  gtest_discover_tests(${target}
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT}
               ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VANTOR_SOURCE_DIR=${PROJECT_SOURCE_DIR};VANTOR_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()
