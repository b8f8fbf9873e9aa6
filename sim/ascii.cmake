# Firmware of the ASCII-command adapter models, built into the simulator library.
if(TARGET vtsim)
  target_sources(vtsim PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/ascii_firmware.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ascii_models.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ascii_text.cpp)

  vantor_test(sim_ascii_tests LABEL unit
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tests/ascii_text_test.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/tests/ascii_firmware_test.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/tests/ascii_garbage_test.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/tests/ascii_garbage.cpp
    LIBS vtsim)

  # Built on request with clang: cmake -DVANTOR_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++
  if(VANTOR_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    # The firmware is compiled in, not linked from vtsim, so that the fuzzer sees its coverage.
    add_executable(sim_ascii_fuzz
      ${CMAKE_CURRENT_SOURCE_DIR}/tests/ascii_fuzz.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/tests/ascii_garbage.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/ascii_firmware.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/ascii_models.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/ascii_text.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/bus.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/devices.cpp)
    target_compile_options(sim_ascii_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(sim_ascii_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  endif()

  if(TARGET vantor-sim)
    vantor_test(sim_ascii_pty_tests LABEL integration
      SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tests/ascii_pty_test.cpp
      LIBS)
    target_compile_definitions(sim_ascii_pty_tests PRIVATE
      VANTOR_SIM_PATH="$<TARGET_FILE:vantor-sim>")
    add_dependencies(sim_ascii_pty_tests vantor-sim)
  endif()
endif()
