# cmake -DOBJDUMP=<objdump> -DDLL=<file.dll> -DEXPORTS=<name;name;...> -P CheckDllExports.cmake
#
# Fails unless the DLL's export table holds exactly the given names,
# undecorated (no leading underscore, no "@n" suffix).
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${DLL}")
endif()
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(([ \t]+\\[[ 0-9]+\\] [^\n]+\n)+)" table "${dump}")
string(REPLACE "\n" ";" lines "${CMAKE_MATCH_1}")
set(found "")
foreach(line ${lines})
  if(line MATCHES "^[ \t]+\\[[ 0-9]+\\] (.+)$")
    list(APPEND found "${CMAKE_MATCH_1}")
  endif()
endforeach()
list(SORT found)
set(expected ${EXPORTS})
list(SORT expected)
if(NOT "${found}" STREQUAL "${expected}")
  message(FATAL_ERROR "exports of ${DLL}:\n  found    ${found}\n  expected ${expected}")
endif()
message(STATUS "exports of ${DLL}: ${found}")
