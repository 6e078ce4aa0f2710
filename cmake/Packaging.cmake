# What `cmake --install` and `cpack` deliver.
#
# Windows: a ZIP that unpacks into vexil/ and calculator/ (each the DLL, its
# language file and its help file) and README.txt, for the host's Plugins
# folder. Only the i686 DLLs are for the host; the x86_64 build is a test target.
# Linux: bin/plughost and lib/plughost/plugins/<name>/.
# Installing (and cpack) takes what is built and builds nothing more, so a
# build of the plugins alone can be packaged.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
if(WIN32)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/README.txt.in ${CMAKE_BINARY_DIR}/README.txt @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(package_arch win32)
  else()
    set(package_arch win64-test-only)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME plughost-plugins)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_FILE_NAME plughost-plugins-${PROJECT_VERSION}-${package_arch})
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  include(CPack)
elseif(TARGET plughost)
  install(TARGETS plughost RUNTIME DESTINATION bin)
endif()
