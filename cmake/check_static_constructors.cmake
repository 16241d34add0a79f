# Fails when an object of the build for Windows 95/98/Me has a static constructor (a non-empty
# .ctors or .init_array section): the program's own start-up runs none, so the object it
# constructs would be used as raw zeroes.
# Usage: cmake -DOBJDUMP=... "-DOBJECTS=a.obj;b.obj" -P check_static_constructors.cmake

execute_process(COMMAND ${OBJDUMP} -h ${OBJECTS} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "objdump failed on ${OBJECTS}")
endif()
string(REGEX REPLACE "\n" ";" lines "${dump}")
set(object "")
set(sections 0)
set(constructing "")
foreach(line IN LISTS lines)
  if(line MATCHES "^(.+):[ \t]+file format ")
    set(object "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^ +[0-9]+ ([^ ]+) +([0-9a-fA-F]+) ")
    math(EXPR sections "${sections} + 1")
    set(section "${CMAKE_MATCH_1}")
    set(size "${CMAKE_MATCH_2}")
    if(section MATCHES "^\\.(ctors|init_array)" AND NOT size MATCHES "^0+$")
      list(APPEND constructing "${object} (${section})")
    endif()
  endif()
endforeach()
# No section read at all: objdump's format changed, and the check would pass having checked nothing.
if(sections EQUAL 0)
  message(FATAL_ERROR "no sections read from objdump -h of ${OBJECTS}")
endif()
if(constructing)
  list(JOIN constructing "\n  " text)
  message(FATAL_ERROR "static constructors, which the program's own start-up never runs, in:\n"
          "  ${text}")
endif()
