# Compares the dynamic symbols libvtlink.so defines with the checked-in list, so the exported
# interface cannot change by accident. -DLIBRARY=<path> -DSYMBOLS=<list>
execute_process(COMMAND nm -D --defined-only ${LIBRARY}
  OUTPUT_VARIABLE nm_output RESULT_VARIABLE nm_result)
if(NOT nm_result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" nm_lines "${nm_output}")
set(exported)
foreach(line IN LISTS nm_lines)
  # "<address> <type> <name>"; absolute symbols (type A) name version nodes, not functions.
  if(line MATCHES "^[0-9a-fA-F]+ ([A-Za-z]) ([^ @]+)")
    if(NOT CMAKE_MATCH_1 STREQUAL "A")
      list(APPEND exported ${CMAKE_MATCH_2})
    endif()
  endif()
endforeach()
list(SORT exported)
file(STRINGS ${SYMBOLS} expected)
list(SORT expected)
if(NOT exported STREQUAL expected)
  message(FATAL_ERROR "libvtlink.so exports\n  ${exported}\nbut vtlink.symbols lists\n  ${expected}")
endif()
message(STATUS "libvtlink.so exports exactly the ${SYMBOLS} list")
