# add_host_plugin(<name> SOURCES <src>... [DEF <file.def>] [LANGUAGE_FILES <file.lng>...] [LIBS <lib>...])
#
# Builds a plugin the host loads: <build>/plugins/<name>/<name>.so natively,
# <build>/plugins/<name>/<name>.dll on Windows, with its language files copied
# beside it. On Windows the exports are the undecorated stdcall names listed in
# the .def file, and the C/C++ runtime is linked in statically (see the
# toolchain file), so the DLL loads into a host with nothing else installed.
function(add_host_plugin name)
  cmake_parse_arguments(P "" "DEF" "SOURCES;LANGUAGE_FILES;LIBS" ${ARGN})
  set(out_dir ${PLUGINS_OUTPUT_DIR}/${name})
  add_library(${name} MODULE ${P_SOURCES})
  target_link_libraries(${name} PRIVATE project_headers ${P_LIBS})
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    LIBRARY_OUTPUT_DIRECTORY ${out_dir}
    RUNTIME_OUTPUT_DIRECTORY ${out_dir})
  if(WIN32)
    if(P_DEF)
      target_sources(${name} PRIVATE ${P_DEF})
    endif()
    target_link_options(${name} PRIVATE -Wl,--kill-at)
  elseif(NOT PLUGHOST_SANITIZE)
    # Unresolved symbols are a build error, not a load-time surprise. (With
    # sanitizers the runtime comes from the loading program, so not there.)
    target_link_options(${name} PRIVATE -Wl,--no-undefined)
  endif()
  # Language files are copied beside the plugin whenever they change.
  set(copied)
  foreach(lng ${P_LANGUAGE_FILES})
    get_filename_component(lng_name ${lng} NAME)
    add_custom_command(OUTPUT ${out_dir}/${lng_name}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
      COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/${lng} ${out_dir}/${lng_name}
      DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${lng}
      VERBATIM)
    list(APPEND copied ${out_dir}/${lng_name})
  endforeach()
  if(copied)
    add_custom_target(${name}_language_files ALL DEPENDS ${copied})
    add_dependencies(${name} ${name}_language_files)
  endif()
endfunction()
