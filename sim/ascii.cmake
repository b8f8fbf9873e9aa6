# Firmware of the ASCII-command adapter models, built into the simulator library.
if(TARGET vtsim)
  target_sources(vtsim PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/ascii_firmware.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ascii_models.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ascii_text.cpp)

  vantor_test(sim_ascii_tests LABEL unit
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tests/ascii_text_test.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/tests/ascii_firmware_test.cpp
    LIBS vtsim)

  if(TARGET vantor-sim)
    vantor_test(sim_ascii_pty_tests LABEL integration
      SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tests/ascii_pty_test.cpp
      LIBS)
    target_compile_definitions(sim_ascii_pty_tests PRIVATE
      VANTOR_SIM_PATH="$<TARGET_FILE:vantor-sim>")
    add_dependencies(sim_ascii_pty_tests vantor-sim)
  endif()
endif()
