# What `cmake --install` puts beside the program, and the packages CPack makes of it:
#   POSIX build:   cpack -G DEB   a Debian package (prefix /usr)
#   Windows build: cpack -G ZIP   zorsetup.exe and the README in one folder
# scripts/package makes both into dist/. The version is PROJECT_VERSION, nothing else.

set(ZOR_PACKAGE_MAINTAINER "zorsetup maintainers <maintainers@users.noreply.c-seed-b34fba5c.example>"
    CACHE STRING "Maintainer named in the Debian package")

if(UNIX)
  # The manual pages, English and German, each with the version on its title line,
  # compressed as Debian wants them: best compression and no name or time stamp in the gzip
  # header, so builds are identical.
  foreach(page IN ITEMS zorsetup.1 zorsetup.de.1)
    file(READ ${PROJECT_SOURCE_DIR}/docs/${page} text)
    string(REGEX REPLACE "(\n\\.TH [^\n]*) zorsetup " "\\1 \"zorsetup ${PROJECT_VERSION}\" " text "${text}")
    file(WRITE ${PROJECT_BINARY_DIR}/${page}.new "${text}")
    configure_file(${PROJECT_BINARY_DIR}/${page}.new ${PROJECT_BINARY_DIR}/${page} COPYONLY)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/${page})
  endforeach()

  # Debian's changelog of the package, for this version.
  configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)

  find_program(ZOR_GZIP gzip REQUIRED)
  add_custom_command(
    OUTPUT zorsetup.1.gz zorsetup.de.1.gz changelog.gz
    COMMAND ${ZOR_GZIP} -9nf -k zorsetup.1 zorsetup.de.1 changelog
    DEPENDS ${PROJECT_BINARY_DIR}/zorsetup.1 ${PROJECT_BINARY_DIR}/zorsetup.de.1 ${PROJECT_BINARY_DIR}/changelog
    COMMENT "Compressing the manual pages and the changelog"
    VERBATIM)
  add_custom_target(zorsetup_docs ALL DEPENDS zorsetup.1.gz zorsetup.de.1.gz changelog.gz)

  install(FILES ${PROJECT_BINARY_DIR}/zorsetup.1.gz DESTINATION share/man/man1)
  # Where man looks for a German locale (de_DE.UTF-8, de_AT, ...).
  install(FILES ${PROJECT_BINARY_DIR}/zorsetup.de.1.gz DESTINATION share/man/de/man1 RENAME zorsetup.1.gz)
  install(FILES README.md packaging/copyright ${PROJECT_BINARY_DIR}/changelog.gz
          DESTINATION share/doc/zorsetup)
  install(FILES packaging/lintian-overrides DESTINATION share/lintian/overrides RENAME zorsetup)
  # Where bash-completion looks for a command's completion when it is first asked for.
  install(FILES packaging/zorsetup.bash-completion DESTINATION share/bash-completion/completions
          RENAME zorsetup)
else()
  # The zip holds the program and the README side by side, not under bin/.
  install(TARGETS zorsetup RUNTIME DESTINATION . COMPONENT zip EXCLUDE_FROM_ALL)
  install(FILES README.md DESTINATION . COMPONENT zip EXCLUDE_FROM_ALL)
endif()

set(CPACK_PACKAGE_NAME zorsetup)
set(CPACK_PACKAGE_VENDOR "The zorsetup developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set-up program for the ZOR file identifier")
set(CPACK_PACKAGE_CONTACT "${ZOR_PACKAGE_MAINTAINER}")
set(CPACK_STRIP_FILES ON)
# Everything the package installs is owned by root; directories rwxr-xr-x.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(UNIX)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZOR_PACKAGE_MAINTAINER}")
  # The synopsis line comes from CPACK_PACKAGE_DESCRIPTION_SUMMARY.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "zorsetup writes the launcher ZO.BAT that starts ZOR, the command-line file
identifier, with its switches. Started in ZOR's directory, it finds the
launcher on the search path or lets the user choose a directory for a new one,
shows the launcher's settings in one full-screen menu in English or German,
and writes it anew, replacing the old file in one step. It also creates and
edits ZOR's colour tables. --show and --set read and change the settings
without the screen.
.
On Linux it sees the file system as Wine shows it, so the launcher it writes
is ready for ZOR run under Wine.")
  # The program links the C++ runtime statically: the C library is all it needs, and
  # dpkg-shlibdeps works out which version.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
else()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};zip;/")
endif()

include(CPack)
