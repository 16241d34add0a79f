# Fails when the executable imports a DLL that Windows might load from beside it rather than from
# System32, or when its header lacks the exploit mitigations. The program runs elevated, often from
# a download folder, where anyone could have put a DLL of a well-known name.
# Usage: cmake -DOBJDUMP=... -DEXE=... [-DIMPORT_LIST=...] -P check_imports.cmake
#
# With IMPORT_LIST (the build for Windows 95/98/Me) it also fails unless the header asks for
# Windows 4.0, every imported function is in the list, each with the reason it is safe there, and
# Windows 95 exports it: only KERNEL32, USER32 and GDI32, and only the names in win95_exports/.

# Always taken from System32 (KnownDLLs), and COMCTL32, which the manifest redirects to the
# side-by-side version 6.
set(trusted_dlls advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll)

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "objdump failed on ${EXE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" names "${dump}")
if(NOT names)
  message(FATAL_ERROR "no imports found in ${EXE}")
endif()
foreach(entry IN LISTS names)
  string(REPLACE "DLL Name: " "" dll "${entry}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  message(STATUS "imports ${dll}")
  list(FIND trusted_dlls ${dll} known)
  if(known EQUAL -1)
    message(FATAL_ERROR "${EXE} imports ${dll}, which Windows does not always load from System32")
  endif()
endforeach()

# IMAGE_DLLCHARACTERISTICS_*: ASLR and DEP everywhere, 64-bit ASLR addresses where there are any.
if(NOT dump MATCHES "DllCharacteristics[ \t]+([0-9a-fA-F]+)")
  message(FATAL_ERROR "no DllCharacteristics in the header of ${EXE}")
endif()
math(EXPR characteristics "0x${CMAKE_MATCH_1}")
message(STATUS "DllCharacteristics 0x${CMAKE_MATCH_1}")
set(required DYNAMIC_BASE=0x40 NX_COMPAT=0x100 TERMINAL_SERVICE_AWARE=0x8000)
if(dump MATCHES "file format pei-x86-64")
  list(APPEND required HIGH_ENTROPY_VA=0x20)
endif()
foreach(flag IN LISTS required)
  string(REPLACE "=" ";" flag "${flag}")
  list(GET flag 0 name)
  list(GET flag 1 bit)
  math(EXPR set "${characteristics} & ${bit}")
  if(set EQUAL 0)
    message(FATAL_ERROR "${EXE} lacks ${name} in its DllCharacteristics")
  endif()
endforeach()

if(NOT IMPORT_LIST)
  return()
endif()
foreach(field OSystem Subsystem)
  if(NOT dump MATCHES "Major${field}Version[ \t]+4\n[^\n]*Minor${field}Version[ \t]+0\n")
    message(FATAL_ERROR "${EXE} does not ask for ${field} version 4.0")
  endif()
endforeach()

# One line per function: DLL, name, then "implemented on 95" or "on 98" (a note may follow a
# semicolon) or "stub on 95" or "on 98: called by ..., harmless because ...".
file(STRINGS ${IMPORT_LIST} listed REGEX "^[^#]")
set(allowed "")
foreach(line IN LISTS listed)
  if(NOT line MATCHES "^([^ ]+) ([^ ]+) +(implemented on 9[58](; .+)?|stub on 9[58]: called by .+, harmless because .+)$")
    message(FATAL_ERROR "${IMPORT_LIST}: not of the form DLL NAME REASON: ${line}")
  endif()
  string(TOLOWER "${CMAKE_MATCH_1}" dll)
  list(APPEND allowed "${dll}!${CMAKE_MATCH_2}")
endforeach()

string(REGEX REPLACE "\n" ";" lines "${dump}")
set(dll "")
set(unlisted "")
set(not95 "")
foreach(line IN LISTS lines)
  if(line MATCHES "DLL Name: ([^ ]+)")
    string(TOLOWER "${CMAKE_MATCH_1}" dll)
    set(exports "") # of any other DLL, nothing
    if(dll MATCHES "^(kernel32|user32|gdi32)\\.dll$")
      file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/win95_exports/${CMAKE_MATCH_1}.txt exports
           REGEX "^[^#]")
    endif()
  elseif(line STREQUAL "")
    set(dll "")
  elseif(dll AND line MATCHES "^\t[0-9a-f]+\t +[0-9]+ +([A-Za-z_0-9@]+)$")
    list(FIND allowed "${dll}!${CMAKE_MATCH_1}" known)
    if(known EQUAL -1)
      list(APPEND unlisted "${dll} ${CMAKE_MATCH_1}")
    endif()
    list(FIND exports "${CMAKE_MATCH_1}" known)
    if(known EQUAL -1)
      list(APPEND not95 "${dll} ${CMAKE_MATCH_1}")
    endif()
  elseif(dll AND NOT line MATCHES "^\tvma: +Hint/Ord Member-Name Bound-To$")
    # An import by ordinal, or objdump's format changed: the check would pass having checked
    # nothing.
    message(FATAL_ERROR "${EXE}: cannot read this line of the ${dll} imports: ${line}")
  endif()
endforeach()
set(failures "")
if(unlisted)
  list(JOIN unlisted "\n  " text)
  string(APPEND failures "\nfunctions that ${IMPORT_LIST} does not list:\n  ${text}")
endif()
if(not95)
  list(JOIN not95 "\n  " text)
  string(APPEND failures "\nfunctions that Windows 95 does not export (only KERNEL32, USER32 and "
         "GDI32, and of them the names in ${CMAKE_CURRENT_LIST_DIR}/win95_exports):\n  ${text}")
endif()
if(failures)
  message(FATAL_ERROR "${EXE} imports${failures}")
endif()
list(LENGTH allowed count)
message(STATUS "every import is one of the ${count} listed in ${IMPORT_LIST}, and in Windows 95")
