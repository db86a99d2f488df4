# Installing Movra as a desktop program (GNU install directories under CMAKE_INSTALL_PREFIX) and
# its Debian package (`cpack -G DEB` in the build folder, or `make package`).
#
#   bin/movra, bin/movra-cli
#   share/movra/data/          what a fresh program folder is filled from (the program looks for
#                              it at ../share/movra/data beside itself)
#   share/applications/movra.desktop, share/icons/hicolor/*/apps/movra.png,
#   share/mime/packages/movra.xml
include(GNUInstallDirs)

install(TARGETS movra-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET movra)
  install(TARGETS movra RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(DIRECTORY ${CMAKE_BINARY_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/movra/data)
  install(FILES ${CMAKE_SOURCE_DIR}/dist/movra.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/dist/movra-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME movra.xml)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()

set(CPACK_PACKAGE_NAME movra)
set(CPACK_PACKAGE_VENDOR "Movra")
set(CPACK_PACKAGE_CONTACT "Movra developers <movra@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Shogi game record database")
set(CPACK_PACKAGE_DESCRIPTION
    "Keeps up to a million shogi games in a store on disk, finds them by players, tournament,\n opening, result, handicap, date and position, replays them, imports KIF, KI2, CSA and more.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY movra)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The libraries the programs link (found by dpkg-shlibdeps) and what they load at run time: the
# Japanese fonts, Qt's Japanese texts, the platform and multimedia plugins.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-ipaexfont, qt6-translations-l10n, qt6-qpa-plugins, libqt6multimedia6")
include(CPack)
