# The simulator's engine: bus and devices, faults, transports, frame firmware; vantor-sim.
add_library(vtsim STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/adapter.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/bus.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/devices.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/frame_codec.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/frame_firmware.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/frame_link.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/hex_words.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/line_faults.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/memory_transport.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/models.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/options.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/pty_transport.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/schedule.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/usb_sysfs.cpp)
target_link_libraries(vtsim PUBLIC vtplatform)

add_executable(vantor-sim ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
target_link_libraries(vantor-sim PRIVATE vtsim)

vantor_test(sim_core_tests LABEL unit
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tests/frame_firmware_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/tests/frame_link_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/tests/bus_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/tests/line_faults_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/tests/commands_test.cpp
  LIBS vtsim)

vantor_test(sim_pty_tests LABEL integration
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tests/sim_pty_test.cpp
  LIBS vtplatform)
target_compile_definitions(sim_pty_tests PRIVATE VANTOR_SIM_PATH="$<TARGET_FILE:vantor-sim>")
add_dependencies(sim_pty_tests vantor-sim)

# The host's bytes and the command lines are outside input; clang builds fuzz them.
if(VANTOR_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES Clang)
  add_executable(sim_adapter_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/tests/adapter_fuzz.cpp)
  target_compile_options(sim_adapter_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(sim_adapter_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(sim_adapter_fuzz PRIVATE vtsim)
endif()
