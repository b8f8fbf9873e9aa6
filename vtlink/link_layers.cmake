# The serial link layers of the library: log recorder, comm link and data link. Static and
# position-independent, so libvtlink.so takes them in whole; nothing here is exported from it.
add_library(vtlink_core STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/log_format.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/log_recorder.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/comm_link.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/link_frame.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/data_link.cpp
)
set_target_properties(vtlink_core PROPERTIES
  POSITION_INDEPENDENT_CODE ON
  CXX_VISIBILITY_PRESET hidden
  VISIBILITY_INLINES_HIDDEN ON)
target_include_directories(vtlink_core PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(vtlink_core PUBLIC vtplatform)

set(_link_tests ${CMAKE_CURRENT_SOURCE_DIR}/tests)

vantor_test(vtlink_log_tests LABEL unit
  SOURCES ${_link_tests}/log_format_test.cpp
          ${_link_tests}/log_recorder_test.cpp
  LIBS vtlink_core)

vantor_test(vtlink_link_tests LABEL unit
  SOURCES ${_link_tests}/link_comm_memory_test.cpp
          ${_link_tests}/link_data_wire_test.cpp
          ${_link_tests}/link_data_timing_test.cpp
          ${_link_tests}/link_data_calls_test.cpp
  LIBS vtlink_core)

vantor_test(vtlink_link_pty_tests LABEL integration
  SOURCES ${_link_tests}/link_comm_pty_test.cpp
          ${_link_tests}/link_end_to_end_test.cpp
  LIBS vtlink_core)

# The receiver takes whatever the adapter line carries; clang builds fuzz it.
if(VANTOR_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES Clang)
  add_executable(vtlink_link_fuzz ${_link_tests}/link_fuzz.cpp)
  target_compile_options(vtlink_link_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(vtlink_link_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(vtlink_link_fuzz PRIVATE vtlink_core)
endif()
