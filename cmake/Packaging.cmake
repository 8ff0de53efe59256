# Installation and packages: the programs, desktop entry, icons, MIME type and man pages on
# Linux (cpack -G DEB); the .exe files and a README in a zip for Windows (cpack -G ZIP).
include(GNUInstallDirs)

set(kelbo_programs kelbo-compile)
foreach(program kelbo kelbo-res)
  if(TARGET ${program})
    list(APPEND kelbo_programs ${program})
  endif()
endforeach()

if(WIN32)
  install(TARGETS ${kelbo_programs} RUNTIME DESTINATION .)
  install(FILES packaging/README-Windows.txt DESTINATION . RENAME README.txt)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "kelbo-${PROJECT_VERSION}-windows-x64")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  install(TARGETS ${kelbo_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES packaging/kelbo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES packaging/kelbo-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME kelbo.xml)
  foreach(size 16 32 48 64 128 256)
    install(FILES packaging/icons/kelbo-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME kelbo.png)
  endforeach()
  # Debian wants man pages and the changelog compressed, and no executable bit on data.
  find_program(KELBO_GZIP gzip REQUIRED)
  set(kelbo_man_pages kelbo kelbo-compile kelbo-res)
  foreach(page ${kelbo_man_pages})
    set(gz ${CMAKE_CURRENT_BINARY_DIR}/packaging/${page}.1.gz)
    add_custom_command(OUTPUT ${gz}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
      COMMAND ${KELBO_GZIP} -9 -n -c ${CMAKE_CURRENT_SOURCE_DIR}/packaging/man/${page}.1 > ${gz}
      DEPENDS packaging/man/${page}.1 VERBATIM)
    list(APPEND kelbo_packaging_files ${gz})
    install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
  set(changelog_gz ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz)
  add_custom_command(OUTPUT ${changelog_gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
    COMMAND ${KELBO_GZIP} -9 -n -c ${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog > ${changelog_gz}
    DEPENDS packaging/changelog VERBATIM)
  list(APPEND kelbo_packaging_files ${changelog_gz})
  add_custom_target(kelbo_packaging_files ALL DEPENDS ${kelbo_packaging_files})
  install(FILES ${changelog_gz} packaging/copyright
          DESTINATION ${CMAKE_INSTALL_DOCDIR})

  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION devel)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Kelbo developers <developers@kelbo.example.org>")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

set(CPACK_PACKAGE_NAME kelbo)
set(CPACK_PACKAGE_VENDOR "The Kelbo developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Windows resource compiler for Visual Basic developers")
set(CPACK_PACKAGE_DESCRIPTION
    "Kelbo collects an application's bitmaps, icons, cursors, strings, wave
sounds, custom data, manifest and version information under identifiers,
keeps them as a project file (.KBP) and compiles it into a Windows resource
file (.RES, 16-bit or 32-bit layout) that Visual Basic 6 and twinBASIC
programs read back. It has a small window, a batch compiler for builds and
a reader of existing .RES files.")
set(CPACK_STRIP_FILES ON)
include(CPack)
