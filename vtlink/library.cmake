# libvtlink.so: the I2C link, the record and codes and the thirteen exports, with the link
# layers of vtlink_core taken in whole. Only the exports are visible (vtlink.map), and the
# checked-in list vtlink.symbols is compared with what the library really exports.
add_library(vtlink SHARED
  ${CMAKE_CURRENT_SOURCE_DIR}/exports.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/i2c_adapter_frames.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/i2c_link.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/i2c_master.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/i2c_slave.cpp)
target_include_directories(vtlink PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(vtlink PRIVATE $<LINK_LIBRARY:WHOLE_ARCHIVE,vtlink_core> PUBLIC vtplatform)
set(_vtlink_map ${CMAKE_CURRENT_SOURCE_DIR}/vtlink.map)
target_link_options(vtlink PRIVATE -Wl,--version-script=${_vtlink_map})
if(NOT VANTOR_SANITIZE)
  target_link_options(vtlink PRIVATE -Wl,--no-undefined)
endif()
set_target_properties(vtlink PROPERTIES
  LINK_DEPENDS ${_vtlink_map}
  CXX_VISIBILITY_PRESET hidden
  VISIBILITY_INLINES_HIDDEN ON)

set(_api_tests ${CMAKE_CURRENT_SOURCE_DIR}/tests)

# The header as a C99 program sees it, run in a fresh process: the record before any open.
add_executable(vtlink_api_c_header_test ${_api_tests}/api_c_header_test.c)
set_target_properties(vtlink_api_c_header_test PROPERTIES C_STANDARD 99 C_EXTENSIONS OFF)
target_compile_options(vtlink_api_c_header_test PRIVATE -pedantic-errors)
target_link_libraries(vtlink_api_c_header_test PRIVATE vtlink)
add_test(NAME vtlink_api_c_header COMMAND vtlink_api_c_header_test)
set_tests_properties(vtlink_api_c_header PROPERTIES LABELS unit TIMEOUT 20)

# The header's compile-time checks for the 32-bit layout: exactly the 99-byte record.
# Freestanding, so no 32-bit C library needs to be installed.
if(CMAKE_C_COMPILER_ID STREQUAL "GNU")
  add_test(NAME vtlink_api_record_32bit
    COMMAND ${CMAKE_C_COMPILER} -m32 -ffreestanding -std=c99 -pedantic-errors -fsyntax-only
            -I${PROJECT_SOURCE_DIR} ${_api_tests}/api_record_32bit.c)
  set_tests_properties(vtlink_api_record_32bit PROPERTIES LABELS unit TIMEOUT 20)
endif()

add_test(NAME vtlink_api_exported_symbols
  COMMAND ${CMAKE_COMMAND} -DLIBRARY=$<TARGET_FILE:vtlink>
          -DSYMBOLS=${CMAKE_CURRENT_SOURCE_DIR}/vtlink.symbols
          -P ${_api_tests}/api_check_symbols.cmake)
set_tests_properties(vtlink_api_exported_symbols PROPERTIES LABELS unit TIMEOUT 20)

add_library(vtlink_test_adapter STATIC
  ${_api_tests}/i2c_scripted_adapter.cpp
  ${_api_tests}/api_fixture.cpp)
target_link_libraries(vtlink_test_adapter PUBLIC vtlink vtplatform GTest::gtest)

vantor_test(vtlink_api_tests LABEL unit
  SOURCES ${_api_tests}/api_open_test.cpp
          ${_api_tests}/api_notification_test.cpp
  LIBS vtlink_test_adapter)
vantor_test(vtlink_i2c_tests LABEL unit
  SOURCES ${_api_tests}/i2c_master_test.cpp
          ${_api_tests}/i2c_adapter_frames_test.cpp
          ${_api_tests}/i2c_slave_test.cpp
  LIBS vtlink_test_adapter)

# Adapter frames are outside input; clang builds fuzz their handling.
if(VANTOR_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES Clang)
  add_executable(vtlink_i2c_fuzz ${_api_tests}/i2c_fuzz.cpp ${_api_tests}/i2c_scripted_adapter.cpp)
  target_compile_options(vtlink_i2c_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(vtlink_i2c_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(vtlink_i2c_fuzz PRIVATE vtlink vtplatform)
endif()

# Loads and unloads the library itself, so it must not be linked against it.
vantor_test(vtlink_api_unload_tests LABEL unit
  SOURCES ${_api_tests}/api_unload_test.cpp ${_api_tests}/i2c_scripted_adapter.cpp
  LIBS vtplatform ${CMAKE_DL_LIBS})
target_compile_definitions(vtlink_api_unload_tests PRIVATE
  VTLINK_LIBRARY_PATH="$<TARGET_FILE:vtlink>")
add_dependencies(vtlink_api_unload_tests vtlink)

# The simulator is configured after this room, so its test is added at the end.
function(vtlink_add_simulator_tests)
  if(TARGET vantor-sim)
    set(tests ${PROJECT_SOURCE_DIR}/vtlink/tests)
    vantor_test(vtlink_api_sim_tests LABEL integration
      SOURCES ${tests}/api_sim_test.cpp
      LIBS vtlink vtplatform)
    target_compile_definitions(vtlink_api_sim_tests PRIVATE
      VANTOR_SIM_PATH="$<TARGET_FILE:vantor-sim>")
    add_dependencies(vtlink_api_sim_tests vantor-sim)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL vtlink_add_simulator_tests)
