# What `cmake --install` puts where (GNU layout), the man page of quillox-scan, and the Debian
# package. The programs find the installed data folder from their own folder, so an installed
# tree may be moved to another prefix as a whole.
include(GNUInstallDirs)
set(QUILLOX_INSTALL_DATA "${CMAKE_INSTALL_DATADIR}/quillox")

install(TARGETS quillox-scan RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET quillox)
  install(TARGETS quillox RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(DIRECTORY help/ DESTINATION ${QUILLOX_INSTALL_DATA}/Help)
install(DIRECTORY data/satellites/ DESTINATION ${QUILLOX_INSTALL_DATA}/satellites)
install(FILES README.md docs/device-and-simulated-dish.md data/desktop/copyright
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/quillox)  # the package's name, lower case

# Desktop entry, AppStream metadata and the icon (the dish the window draws).
configure_file(data/desktop/org.example.quillox.metainfo.xml.in
               org.example.quillox.metainfo.xml @ONLY)
install(FILES data/desktop/org.example.quillox.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/org.example.quillox.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/desktop/quillox.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES data/desktop/quillox-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME quillox.png)
endforeach()

# The man page is made from quillox-scan's own --help and --version, so it never lags behind.
find_program(HELP2MAN help2man REQUIRED)
add_custom_command(
  OUTPUT quillox-scan.1
  COMMAND ${HELP2MAN} --no-info --no-discard-stderr
          --name "run the window's scans of Quillox without a window"
          --output quillox-scan.1 $<TARGET_FILE:quillox-scan>
  DEPENDS quillox-scan
  COMMENT "Writing the man page of quillox-scan"
  VERBATIM)
add_custom_target(quillox-scan-man ALL DEPENDS quillox-scan.1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/quillox-scan.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Debian package: scripts/package builds it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillox)
set(CPACK_PACKAGE_VERSION "${QUILLOX_PACKAGE_VERSION}")
set(CPACK_PACKAGE_CONTACT "The Quillox developers <quillox@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "satellite transponder scanner for DVB-S receiver cards")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillox finds which transponders of a satellite a DVB-S card on a dish can receive (two
blind-scan methods), works out the symbol rate of a known transponder, shows live signal
quality and writes what it found as a satellite transponder file. quillox-scan runs the same
jobs without a window. Free software under the GNU GPL, version 3 or later.")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quillox.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs a platform plugin; the spectrum pictures' texts need a font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core")
include(CPack)
