# What `cmake --install` puts beside the programs, and the Debian package cpack makes of it.
include(GNUInstallDirs)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/velmora.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The program icon as drawn at build time (src/app), at the sizes desktops look for.
install(FILES ${PROJECT_BINARY_DIR}/artwork/velmora-48.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps RENAME velmora.png)
install(FILES ${PROJECT_BINARY_DIR}/artwork/128.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps RENAME velmora.png)
install(FILES ${PROJECT_BINARY_DIR}/artwork/velmora-256.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps RENAME velmora.png)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/user-guide.md
  DESTINATION ${CMAKE_INSTALL_DOCDIR} OPTIONAL)

set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "Quillon")
set(CPACK_PACKAGE_CONTACT "Velmora maintainers <maintainers@velmora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "moving-map GPS navigator with offline vector maps")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The runtime packages are those of the libraries the programs link, as dpkg-shlibdeps finds
# them; gpsd is the usual source of positions but not the only one.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gpsd, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gpsd-clients")
set(CPACK_STRIP_FILES ON)
include(CPack)
