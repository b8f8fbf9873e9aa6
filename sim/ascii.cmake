# Firmware of the ASCII-command adapter models, built into the simulator library.
if(TARGET vtsim)
  target_sources(vtsim PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/ascii_firmware.cpp)
endif()
