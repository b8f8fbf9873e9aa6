# The simulator's engine: bus and devices, faults, transports, frame firmware.
add_library(vtsim STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/adapter.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/bus.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/devices.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/frame_codec.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/frame_firmware.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/frame_link.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/hex_words.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/line_faults.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/models.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/schedule.cpp)
target_link_libraries(vtsim PUBLIC vtplatform)
