# The simulator's engine: bus and devices, faults, transports, frame firmware.
add_library(vtsim STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/bus.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/devices.cpp)
target_link_libraries(vtsim PUBLIC vtplatform)
