# What `cmake --install` puts where, and the packages CPack makes from it (scripts/package).
#
# Host build: bin/plugsetup, share/plugsetup/Setup.exe (the stub plugsetup finds in
# ../share/plugsetup/ from its own folder), the guide, the CI recipe, the example products and
# the workflows (examples/, examples/ci/), and the man page; CPack makes plugsetup_<version>_<arch>.deb of it.
# Win32 build: plugsetup.exe and Setup.exe side by side with the same documents, which CPack
# zips as plugsetup-<version>-windows.zip (one folder of that name inside).
include(GNUInstallDirs)

set(plugsetup_documents ${PROJECT_SOURCE_DIR}/docs/guide.md ${PROJECT_SOURCE_DIR}/docs/ci.md)
set(plugsetup_workflows ${PROJECT_SOURCE_DIR}/examples/ci/linux.yml ${PROJECT_SOURCE_DIR}/examples/ci/windows.yml)
# Complete products the guide and the workflows build, as a vendor starts from them.
set(plugsetup_example_products ${PROJECT_SOURCE_DIR}/examples/gadget ${PROJECT_SOURCE_DIR}/examples/synth64
    ${PROJECT_SOURCE_DIR}/examples/bundle)

set(CPACK_PACKAGE_NAME plugsetup)
set(CPACK_PACKAGE_VENDOR "plugsetup")
set(CPACK_PACKAGE_CONTACT "plugsetup maintainers <maintainers@plugsetup.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "builds Windows setup programs for audio and image-editing plug-ins")
set(CPACK_PACKAGE_DESCRIPTION
    "plugsetup turns a product folder (the plug-in's files and a Setup.ini) into one Windows setup \
program with a classic wizard and an uninstaller. It checks the folder, previews what the setup \
writes, signs through the vendor's own signing command, and lists, extracts and verifies setups.")

if(PLUGSETUP_WIN32)
  install(TARGETS plugsetup Setup RUNTIME DESTINATION .)
  install(FILES ${plugsetup_documents} DESTINATION .)
  install(DIRECTORY ${plugsetup_example_products} DESTINATION examples)
  install(FILES ${plugsetup_workflows} DESTINATION examples/ci)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME plugsetup-${PROJECT_VERSION}-windows)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  install(TARGETS plugsetup RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The stub comes from the win32 build; ./run build copies it beside the host plugsetup.
  set(PLUGSETUP_STUB ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Setup.exe
      CACHE FILEPATH "the Setup.exe (win32 build) that the installed plugsetup wraps setups in")
  install(CODE "if(NOT EXISTS \"${PLUGSETUP_STUB}\")
    message(FATAL_ERROR \"no stub at ${PLUGSETUP_STUB}: build the win32 preset and copy its Setup.exe there (./run build does), or set PLUGSETUP_STUB\")
  endif()")
  install(FILES ${PLUGSETUP_STUB} DESTINATION ${CMAKE_INSTALL_DATADIR}/plugsetup)
  install(FILES ${plugsetup_documents} DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(DIRECTORY ${plugsetup_example_products} DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
  install(FILES ${plugsetup_workflows} DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples/ci)
  # The man page is plugsetup --help, set in troff (cmake/ManPage.cmake): one text for both.
  set(man_page ${CMAKE_BINARY_DIR}/plugsetup.1)
  add_custom_command(OUTPUT ${man_page}
                     COMMAND ${CMAKE_COMMAND} -DPLUGSETUP=$<TARGET_FILE:plugsetup> -DOUTPUT=${man_page}
                             -DVERSION=${PROJECT_VERSION} -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
                     DEPENDS plugsetup ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake VERBATIM)
  add_custom_target(plugsetup_man_page ALL DEPENDS ${man_page})
  install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  set(CPACK_GENERATOR DEB)
  # The tool only: the stub is shipped byte for byte as the win32 build made it.
  set(CPACK_STRIP_FILES ${CMAKE_INSTALL_BINDIR}/plugsetup)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION devel)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # Only the C and C++ runtime (zlib is linked in); dpkg-shlibdeps names their packages.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # osslsigncode or jsign sign through --sign; neither is needed to build.
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS osslsigncode)
endif()
include(CPack)
