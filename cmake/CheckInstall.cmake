# cmake -DBUILD_DIR=<build> -DVERSION=<x.y.z> -P CheckInstall.cmake
#
# Installs into a scratch prefix and fails unless the installed plughost
# finds both plugins by itself and reports the project's version.
set(prefix ${BUILD_DIR}/install-check)
file(REMOVE_RECURSE ${prefix})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install failed:\n${out}")
endif()
foreach(file bin/plughost lib/plughost/plugins/vexil/vexil.so lib/plughost/plugins/vexil/vexil.lng
             lib/plughost/plugins/vexil/vexil.hlf lib/plughost/plugins/calculator/calculator.so
             lib/plughost/plugins/calculator/calculator.lng lib/plughost/plugins/calculator/calculator.hlf)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "install did not write ${file}")
  endif()
endforeach()
# Run from elsewhere, so that nothing is found through the current directory.
execute_process(COMMAND ${prefix}/bin/plughost --registry ${prefix}/registry.reg info
                WORKING_DIRECTORY /
                RESULT_VARIABLE rc OUTPUT_VARIABLE info ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT info MATCHES "vexil" OR NOT info MATCHES "calculator")
  message(FATAL_ERROR "installed plughost info (exit ${rc}):\n${info}${err}")
endif()
execute_process(COMMAND ${prefix}/bin/plughost --version OUTPUT_VARIABLE version RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT version STREQUAL "plughost ${VERSION}\n")
  message(FATAL_ERROR "plughost --version printed: ${version}")
endif()
message(STATUS "installed plughost lists both plugins; ${version}")
