# cmake -DOBJDUMP=<objdump> -DDLL=<file.dll> -P CheckDllImports.cmake
#
# Fails unless every DLL the file imports comes with Windows itself: a plugin
# must load into a host that has no compiler runtime (libstdc++, libgcc,
# libwinpthread) installed beside it.
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${DLL}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
set(system kernel32.dll user32.dll advapi32.dll msvcrt.dll ntdll.dll shell32.dll ole32.dll)
set(imports "")
foreach(line ${lines})
  string(REGEX REPLACE "^DLL Name: " "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" lower)
  list(APPEND imports ${dll})
  list(FIND system ${lower} known)
  if(known EQUAL -1 AND NOT lower MATCHES "^api-ms-win-")
    message(FATAL_ERROR "${DLL} needs ${dll}, which Windows does not provide")
  endif()
endforeach()
if(NOT imports)
  message(FATAL_ERROR "no imports found in ${DLL}: is it a DLL?")
endif()
message(STATUS "imports of ${DLL}: ${imports}")
