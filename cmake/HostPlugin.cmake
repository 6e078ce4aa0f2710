# add_host_plugin(<name> SOURCES <src>... [DEF <file.def>] [LANGUAGE_FILES <file.lng>...]
#                 [HELP_FILES <file.hlf>...] [LIBS <lib>...])
#
# Builds a plugin the host loads: <build>/plugins/<name>/<name>.so natively,
# <build>/plugins/<name>/<name>.dll on Windows, with its language and help
# files copied beside it. On 32-bit Windows the exports are the undecorated
# stdcall names listed in the .def file; on 64-bit Windows (a test target
# only) there is one calling convention and the exported names are plain
# already. The C/C++ runtime is linked in statically (see the toolchain
# files), so the DLL loads into a host with nothing else installed.
#
# `cmake --install` puts the plugin folder into ${PLUGINS_INSTALL_DIR}.
function(add_host_plugin name)
  cmake_parse_arguments(P "" "DEF" "SOURCES;LANGUAGE_FILES;HELP_FILES;LIBS" ${ARGN})
  set(out_dir ${PLUGINS_OUTPUT_DIR}/${name})
  add_library(${name} MODULE ${P_SOURCES})
  target_link_libraries(${name} PRIVATE project_headers ${P_LIBS})
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    LIBRARY_OUTPUT_DIRECTORY ${out_dir}
    RUNTIME_OUTPUT_DIRECTORY ${out_dir})
  if(WIN32)
    if(P_DEF AND CMAKE_SIZEOF_VOID_P EQUAL 4)
      target_sources(${name} PRIVATE ${P_DEF})
      target_link_options(${name} PRIVATE -Wl,--kill-at)
    endif()
  elseif(NOT PLUGHOST_SANITIZE)
    # Unresolved symbols are a build error, not a load-time surprise. (With
    # sanitizers the runtime comes from the loading program, so not there.)
    target_link_options(${name} PRIVATE -Wl,--no-undefined)
  endif()
  # Language and help files are copied beside the plugin whenever they change.
  set(copied)
  set(sources)
  foreach(file ${P_LANGUAGE_FILES} ${P_HELP_FILES})
    get_filename_component(file_name ${file} NAME)
    add_custom_command(OUTPUT ${out_dir}/${file_name}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
      COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/${file} ${out_dir}/${file_name}
      DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${file}
      VERBATIM)
    list(APPEND copied ${out_dir}/${file_name})
    list(APPEND sources ${CMAKE_CURRENT_SOURCE_DIR}/${file})
  endforeach()
  if(copied)
    add_custom_target(${name}_language_files ALL DEPENDS ${copied})
    add_dependencies(${name} ${name}_language_files)
  endif()
  install(TARGETS ${name}
    LIBRARY DESTINATION ${PLUGINS_INSTALL_DIR}/${name}
    RUNTIME DESTINATION ${PLUGINS_INSTALL_DIR}/${name})
  install(FILES ${sources} DESTINATION ${PLUGINS_INSTALL_DIR}/${name})
endfunction()
